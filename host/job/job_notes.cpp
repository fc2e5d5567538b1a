// What a driver would take but not draw as the job asks: a pen the job
// does not declare, a point off its page, requests the driver leaves out.
#include <cstdlib>

#include "host/job/job_checker.h"
#include "host/job/plot_ops.h"

namespace drv::host {
namespace {

// Points off the page are warned about one by one this many times, then
// counted.
constexpr std::size_t kOffPageWarnings = 5;

std::string plural(std::size_t count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

} // namespace

bool JobChecker::noteDrawing(const PlotCall &out) {
    if (!checkPen(out) || !checkPage(out)) {
        return false;
    }
    countLeftOut(out);
    return true;
}

bool JobChecker::checkPen(const PlotCall &out) {
    const OpInfo &op = *findOp(out.request.op);
    if (op.penCell < 0 || pens_ < 0) {
        return true;
    }
    const std::int32_t pen = out.request.param[op.penCell].i;
    if (pen >= 0 && pen <= pens_) {
        return true;
    }
    const int column = out.cellColumns[static_cast<std::size_t>(op.penCell)];
    return warn({out.pos.line, column > 0 ? column : out.pos.column},
                std::string(op.name) + " pen " + std::to_string(pen) + " is not one of the " +
                    std::to_string(pens_) + " pens the job begun on line " +
                    std::to_string(jobLine_) + " declares");
}

bool JobChecker::checkPage(const PlotCall &out) {
    const OpInfo &op = *findOp(out.request.op);
    if (op.points == 0 || pageWidth_ <= 0 || pageHeight_ <= 0) {
        return true;
    }
    const std::int64_t r = op.radiusCell >= 0 ? std::llabs(out.request.param[op.radiusCell].i) : 0;
    for (int cell = 0; cell + 1 < PLOT_PARAM_COUNT; ++cell) {
        if ((op.points & (1u << cell)) == 0) {
            continue;
        }
        const std::int64_t x = out.request.param[cell].i;
        const std::int64_t y = out.request.param[cell + 1].i;
        if (x - r >= 0 && x + r <= pageWidth_ && y - r >= 0 && y + r <= pageHeight_) {
            continue;
        }
        if (++offPage_ > kOffPageWarnings && !options_.strict) {
            return true; // counted; summed up at the end
        }
        const std::string radius = r > 0 ? " with radius " + std::to_string(r) : "";
        return warn(out.pos, std::string(op.name) + " at (" + std::to_string(x) + ", " +
                                 std::to_string(y) + ")" + radius + " reaches off the " +
                                 std::to_string(pageWidth_) + " x " +
                                 std::to_string(pageHeight_) + " page of the job begun on line " +
                                 std::to_string(jobLine_));
    }
    return true;
}

void JobChecker::countLeftOut(const PlotCall &out) {
    const OpInfo &op = *findOp(out.request.op);
    if (!op.counted.empty() && !handles(traits_, op)) {
        LeftOut &left = leftOut_[static_cast<std::size_t>(op.code)];
        if (left.count++ == 0) {
            left.first = out.pos;
        }
    }
    const std::size_t drawn = traits_.labelCharsDrawn;
    if (op.code == OpLabel && drawn > 0 && out.text.size() > drawn + 1) {
        if (cutLabels_.count++ == 0) {
            cutLabels_.first = out.pos;
        }
        labelCharsLeftOut_ += out.text.size() - 1 - drawn;
    }
}

void JobChecker::sumUpLeftOut() {
    if (offPage_ > kOffPageWarnings) {
        warn({jobLine_, 1}, plural(offPage_ - kOffPageWarnings, "more request") +
                                " reach off the page");
    }
    std::string features;
    std::string counts;
    SourcePos first;
    for (const OpInfo &op : plotOps()) {
        const LeftOut &left = leftOut_[static_cast<std::size_t>(op.code)];
        if (left.count == 0) {
            continue;
        }
        const bool more = !features.empty();
        features += (more ? " and no " : "no ") + std::string(op.feature);
        counts += (more ? " and " : "") + plural(left.count, op.counted);
        if (first.line == 0 || left.first.line < first.line) {
            first = left.first;
        }
    }
    const std::string driver(traits_.name);
    if (!features.empty()) {
        warn(first, driver + " draws " + features + ": " + counts + " left out");
    }
    if (cutLabels_.count > 0) {
        warn(cutLabels_.first, driver + " draws at most " +
                                   std::to_string(traits_.labelCharsDrawn) +
                                   " characters of a label: " +
                                   plural(cutLabels_.count, "label") + " cut short, " +
                                   plural(labelCharsLeftOut_, "character") + " left out");
    }
}

bool JobChecker::warn(SourcePos pos, std::string message) {
    if (options_.strict) {
        return error(pos, std::move(message));
    }
    if (options_.warnings != nullptr) {
        options_.warnings->push_back({pos, std::move(message)});
    }
    return true;
}

} // namespace drv::host
