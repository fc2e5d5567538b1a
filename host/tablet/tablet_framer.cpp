#include "host/tablet/tablet_framer.h"

namespace drv::host {
namespace {

constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kLineFeed = 0x0A;
constexpr std::uint8_t kFirstPrintable = 0x20;
constexpr std::uint8_t kLastPrintable = 0x7E;

bool isLineEnd(std::uint8_t byte) {
    return byte == kCarriageReturn || byte == kLineFeed;
}

} // namespace

TabletFraming framingFromProfile(std::uint8_t frameByte, std::uint8_t reportLength,
                                 bool &declared) {
    declared = frameByte != 0;
    if (frameByte < kFirstPrintable) {
        return {TabletFraming::Kind::Lines, 0, reportLength, 1};
    }
    return {TabletFraming::Kind::Marked, frameByte, reportLength, 1};
}

ReportFramer::ReportFramer(TabletFraming framing, Deliver deliver)
    : framing_(framing), deliver_(std::move(deliver)) {
    // A marked report needs at least its start byte.
    if (framing_.kind == TabletFraming::Kind::Marked && framing_.length == 0) {
        framing_.length = 1;
    }
    report_.reserve(kMaxReportBytes);
}

void ReportFramer::feed(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        if (framing_.kind == TabletFraming::Kind::Lines) {
            lineByte(byte);
        } else {
            markedByte(byte);
        }
    }
}

void ReportFramer::lineByte(std::uint8_t byte) {
    if (!isLineEnd(byte)) {
        if (report_.size() + 1 >= kMaxReportBytes) {
            garbled_ = true; // keep reading to the line end, deliver nothing
        } else {
            report_.push_back(byte);
        }
        garbled_ = garbled_ || byte < kFirstPrintable || byte > kLastPrintable;
        return;
    }
    if (report_.empty() && !garbled_) {
        return; // second byte of a CR LF pair, or a blank line
    }
    const std::size_t characters = report_.size();
    const std::size_t declared = framing_.length;
    const bool fits =
        declared == 0 || (characters >= declared && characters <= declared + framing_.slack);
    if (garbled_ || !fits) {
        ++unframed_;
    } else {
        report_.push_back(byte);
        deliver_(report_);
    }
    report_.clear();
    garbled_ = false;
}

void ReportFramer::markedByte(std::uint8_t byte) {
    if ((byte & framing_.mark) == framing_.mark) {
        completeMarked();
        dropNoise();
        report_.push_back(byte);
        if (framing_.length + framing_.slack == 1) {
            completeMarked();
        }
        return;
    }
    if (report_.empty()) {
        ++noiseBytes_;
        return;
    }
    report_.push_back(byte);
    if (report_.size() == framing_.length + framing_.slack) {
        completeMarked();
    }
}

void ReportFramer::completeMarked() {
    if (report_.empty()) {
        return;
    }
    if (report_.size() < framing_.length) {
        ++unframed_;
    } else {
        deliver_(report_);
    }
    report_.clear();
}

void ReportFramer::dropNoise() {
    if (noiseBytes_ > 0) {
        ++unframed_;
        noiseBytes_ = 0;
    }
}

void ReportFramer::idle() {
    if (framing_.kind == TabletFraming::Kind::Marked && report_.size() >= framing_.length) {
        completeMarked();
    }
}

void ReportFramer::finish() {
    if (framing_.kind == TabletFraming::Kind::Marked) {
        completeMarked();
        dropNoise();
    } else if (!report_.empty() || garbled_) {
        ++unframed_; // the terminator never came
        report_.clear();
        garbled_ = false;
    }
}

} // namespace drv::host
