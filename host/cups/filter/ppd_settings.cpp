#include "host/cups/filter/ppd_settings.h"

#include <cups/cups.h>
#include <cups/ppd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace drv::cups {
namespace {

struct PpdCloser {
    void operator()(ppd_file_t *ppd) const { ppdClose(ppd); }
};

struct Options {
    int count = 0;
    cups_option_t *list = nullptr;
    Options() = default;
    Options(const Options &) = delete;
    Options &operator=(const Options &) = delete;
    ~Options() { cupsFreeOptions(count, list); }
    const char *get(const char *name) const { return cupsGetOption(name, count, list); }
};

bool isTrue(std::string_view value) {
    return value == "true" || value == "True" || value == "yes" || value == "on" || value == "1";
}

const char *markedChoice(ppd_file_t *ppd, const char *option) {
    const ppd_choice_t *choice = ppdFindMarkedChoice(ppd, option);
    return choice != nullptr ? choice->choice : nullptr;
}

// A number from a PPD choice or a job option; false when it is not one.
bool number(const char *text, double &value) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    char *end = nullptr;
    value = std::strtod(text, &end);
    return *end == '\0' && std::isfinite(value);
}

// The marked sheet in millimetres: exact for the named sizes CUPS knows
// (A4 is 210 x 297, not 595 x 842 points rounded back), from points for
// the others and for custom sizes.
void sheet(ppd_file_t *ppd, JobSettings &settings) {
    const ppd_size_t *size = ppdPageSize(ppd, nullptr);
    if (size == nullptr) {
        return;
    }
    if (const pwg_media_t *media = pwgMediaForPPD(size->name);
        media != nullptr && std::strcmp(size->name, "Custom") != 0) {
        settings.sheetWidthMm = media->width / 100.0;
        settings.sheetHeightMm = media->length / 100.0;
        return;
    }
    settings.sheetWidthMm = std::round(size->width * 2540.0 / 72.0) / 100.0;
    settings.sheetHeightMm = std::round(size->length * 2540.0 / 72.0) / 100.0;
}

Orientation orientationOf(const char *ppdChoice, const Options &job) {
    if (const char *requested = job.get("orientation-requested")) {
        switch (std::atoi(requested)) {
        case 3:
            return Orientation::Portrait;
        case 4:
            return Orientation::Landscape;
        case 5:
            return Orientation::ReverseLandscape;
        case 6:
            return Orientation::ReversePortrait;
        default:
            break;
        }
    }
    if (const char *landscape = job.get("landscape"); landscape != nullptr && isTrue(landscape)) {
        return Orientation::Landscape;
    }
    constexpr std::pair<std::string_view, Orientation> kChoices[] = {
        {"Portrait", Orientation::Portrait},
        {"Landscape", Orientation::Landscape},
        {"ReverseLandscape", Orientation::ReverseLandscape},
        {"ReversePortrait", Orientation::ReversePortrait},
    };
    for (const auto &[name, orientation] : kChoices) {
        if (ppdChoice != nullptr && name == ppdChoice) {
            return orientation;
        }
    }
    return Orientation::Auto;
}

bool fitOf(const char *ppdChoice, const Options &job) {
    if (const char *scaling = job.get("print-scaling")) {
        const std::string_view value = scaling;
        if (value == "fit" || value == "fill" || value == "auto-fit") {
            return true;
        }
        if (value == "none") {
            return false;
        }
    }
    if (const char *fit = job.get("fit-to-page")) {
        return isTrue(fit);
    }
    return ppdChoice != nullptr && isTrue(ppdChoice);
}

// drvsuiteScale: a listed percentage or Custom.PERCENT; the job's
// `scaling` percentage wins.
bool scaleOf(ppd_file_t *ppd, const Options &job, double &factor, std::string &error) {
    double percent = 100;
    const char *choice = markedChoice(ppd, "drvsuiteScale");
    if (const char *scaling = job.get("scaling")) {
        if (!number(scaling, percent) || percent <= 0) {
            error = std::string("scaling=") + scaling + " is not a percentage";
            return false;
        }
    } else if (choice != nullptr && std::strcmp(choice, "Custom") == 0) {
        ppd_coption_t *custom = ppdFindCustomOption(ppd, "drvsuiteScale");
        ppd_cparam_t *param = custom != nullptr ? ppdFirstCustomParam(custom) : nullptr;
        if (param == nullptr) {
            error = "the PPD has no custom drvsuiteScale";
            return false;
        }
        percent = param->current.custom_real;
    } else if (choice != nullptr && !number(choice, percent)) {
        error = std::string("drvsuiteScale=") + choice + " is not a percentage";
        return false;
    }
    factor = percent / 100.0;
    return true;
}

// The driver: the PPD's *drvsuiteDriver, else the queue's device type
// application/vnd.drvsuite-NAME.
std::string driverOf(ppd_file_t *ppd, const std::string &finalType) {
    if (const ppd_attr_t *attr = ppdFindAttr(ppd, "drvsuiteDriver", nullptr);
        attr != nullptr && attr->value != nullptr && *attr->value != '\0') {
        return attr->value;
    }
    constexpr std::string_view kPrefix = "application/vnd.drvsuite-";
    if (finalType.rfind(kPrefix, 0) == 0) {
        return finalType.substr(kPrefix.size());
    }
    return {};
}

} // namespace

bool resolveJobSettings(const std::string &ppdPath, const std::string &options,
                        const std::string &finalType, JobSettings &settings, std::string &error) {
    const std::unique_ptr<ppd_file_t, PpdCloser> ppd(ppdOpenFile(ppdPath.c_str()));
    if (!ppd) {
        int line = 0;
        const ppd_status_t status = ppdLastError(&line);
        error = ppdPath + ":" + std::to_string(line) + ": " + ppdErrorString(status);
        return false;
    }
    Options job;
    job.count = cupsParseOptions(options.c_str(), 0, &job.list);
    ppdMarkDefaults(ppd.get());
    cupsMarkOptions(ppd.get(), job.count, job.list);

    JobSettings out;
    out.driver = driverOf(ppd.get(), finalType);
    if (out.driver.empty()) {
        error = ppdPath + " names no plotter driver (*drvsuiteDriver)";
        return false;
    }
    sheet(ppd.get(), out);
    out.orientation = orientationOf(markedChoice(ppd.get(), "drvsuiteOrientation"), job);
    out.fit = fitOf(markedChoice(ppd.get(), "drvsuiteFit"), job);
    if (!scaleOf(ppd.get(), job, out.scale, error)) {
        return false;
    }
    double value = 0;
    if (number(markedChoice(ppd.get(), "drvsuitePens"), value)) {
        out.pens = static_cast<int>(value);
    }
    if (number(markedChoice(ppd.get(), "drvsuiteTolerance"), value)) {
        out.toleranceMm = value;
    }
    if (const char *keep = markedChoice(ppd.get(), "drvsuiteKeepOrder")) {
        out.keepOrder = isTrue(keep);
    }
    if (number(markedChoice(ppd.get(), "drvsuitePEBase"), value)) {
        out.peBase = static_cast<int>(value);
    }
    settings = out;
    return true;
}

} // namespace drv::cups
