#include "host/tablet/tablet_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/io/write_all.h"
#include "host/loader/driver_search.h"
#include "host/tablet/tablet_formats.h"
#include "host/util/escapes.h"

namespace drv::host {

std::unique_ptr<TabletSource> TabletSource::open(const TabletSourceOptions &options,
                                                 std::string &error, Failure &failure) {
    failure = Failure::Unusable;
    std::unique_ptr<TabletSource> source(new TabletSource);
    source->library_ = openDriver(options.driver, error);
    if (!source->library_) {
        return nullptr;
    }
    const DgdbinFunction entry = source->library_->dgdbin();
    if (entry == nullptr) {
        error = source->library_->path() + " is not a tablet driver: it exports no dgdbin";
        return nullptr;
    }
    source->model_ = driverStem(source->library_->path());
    if (const std::optional<std::string> problem = formatProblem(source->model_, options.profile)) {
        error = *problem;
        failure = Failure::BadFormat;
        return nullptr;
    }
    source->format_ = effectiveFormat(source->model_, options.profile);

    TabletProfileSettings settings = options.profile;
    settings.frameByte = options.frameByte.value_or(0);
    settings.reportLength = options.reportLength.value_or(0);
    source->decoder_ = std::make_unique<TabletDecoder>(entry, settings);
    source->setupText_ = source->decoder_->setup();
    const DigitizerProfile &profile = source->decoder_->profile();
    source->framing_ = chooseFraming(profile.frameByte, profile.reportLength, source->model_,
                                     source->format_, options.frameByte, options.reportLength);

    if (options.device) {
        source->inputName_ = *options.device;
        source->fd_ = openSerialLine(*options.device, options.serial, error);
        if (source->fd_ < 0) {
            return nullptr;
        }
        source->ownsFd_ = true;
        const auto *text = reinterpret_cast<const std::uint8_t *>(source->setupText_.data());
        if (!writeAll(source->fd_, text, source->setupText_.size())) {
            error = *options.device + ": " + std::strerror(errno);
            return nullptr;
        }
    } else if (options.input == "-") {
        source->inputName_ = "standard input";
        source->fd_ = STDIN_FILENO;
    } else {
        source->inputName_ = options.input;
        source->fd_ = ::open(options.input.c_str(), O_RDONLY | O_CLOEXEC);
        if (source->fd_ < 0) {
            error = options.input + ": " + std::strerror(errno);
            return nullptr;
        }
        source->ownsFd_ = true;
    }
    failure = Failure::None;
    return source;
}

TabletSource::~TabletSource() {
    if (ownsFd_) {
        ::close(fd_);
    }
}

std::string TabletSource::setupSummary() const {
    return "set-up text \"" + visibleEscapes(setupText_) + "\" (" +
           std::to_string(setupText_.size()) + " bytes); " + describeFraming(framing_.framing) +
           " (" + framing_.source + ")";
}

std::string describeFraming(const TabletFraming &framing) {
    char text[96];
    if (framing.kind == TabletFraming::Kind::Marked) {
        std::snprintf(text, sizeof text, "reports start at a byte with bits 0x%02X set, %zu bytes",
                      framing.mark, framing.length);
    } else if (framing.length > 0) {
        std::snprintf(text, sizeof text, "line reports of %zu characters and a line end",
                      framing.length);
    } else {
        std::snprintf(text, sizeof text, "line reports of any length");
    }
    return text;
}

} // namespace drv::host
