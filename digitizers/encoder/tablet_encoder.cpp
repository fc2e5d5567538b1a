#include "digitizers/encoder/tablet_encoder.h"

#include <algorithm>
#include <array>
#include <bit>

#include "digitizers/models/all_models.h"
#include "digitizers/report_checks.h"

namespace drv {
namespace {

namespace dg = drv::digitizer;

// Every byte of an ASCII report that no decoder step reads.
constexpr std::uint8_t kAsciiFiller = ',';
// Framing for the models whose set-up declares none.
constexpr std::uint8_t kDefaultTerminator = 0x0D;
constexpr std::uint8_t kDefaultMark = 0x80;
// Button values of the two-state rules (status bytes, threshold pair).
constexpr std::int16_t kPressed = 49;
// Range of buttons tabletButtons tries: wider than any rule can carry.
constexpr std::int16_t kLowestButton = -256;
constexpr std::int16_t kHighestButton = 255;
// Scratch size for the acceptance checks: covers every offset a decoder reads.
constexpr std::size_t kScratchSize = 32;

constexpr auto kNames = [] {
    std::array<std::string_view, dg::kAllModels.size()> names{};
    std::transform(dg::kAllModels.begin(), dg::kAllModels.end(), names.begin(),
                   [](const dg::NamedModel &m) { return m.name; });
    return names;
}();

struct Found {
    const dg::DigitizerModel *model;
    const dg::Format *format;
};

std::optional<Found> findFormat(std::string_view name, int number) {
    for (const dg::NamedModel &m : dg::kAllModels) {
        if (m.name != name) {
            continue;
        }
        const dg::Format *format = number == 1   ? &m.model->format1
                                   : number == 2 ? &m.model->format2
                                                 : nullptr;
        if (format == nullptr ||
            (format->kind != dg::FormatKind::Ascii && format->kind != dg::FormatKind::Binary)) {
            return std::nullopt;
        }
        return Found{m.model, format};
    }
    return std::nullopt;
}

std::uint8_t frameByteOf(const dg::Format &format) {
    if (format.framing.write) {
        return format.framing.frameByte;
    }
    return format.kind == dg::FormatKind::Ascii ? kDefaultTerminator : kDefaultMark;
}

// ASCII reports.

// Where a byte the decoder reads at `offset` stands in the report as the
// tablet sends it: behind a gap the decoder reads each byte one place
// higher than it was sent. The gap's own byte is the decoder's space and
// has no sent position.
std::optional<std::size_t> sentOffset(const dg::AsciiDecoder &d, std::size_t offset) {
    if (d.gap && offset == d.gap->first) {
        return std::nullopt;
    }
    if (d.gap && offset > d.gap->first && offset <= d.gap->last + 1u) {
        return offset - 1;
    }
    return offset;
}

std::int32_t fieldMax(dg::Span field) {
    std::int32_t max = 1;
    for (std::size_t i = field.first; i <= field.last; ++i) {
        max *= 10;
    }
    return max - 1;
}

std::size_t asciiLength(const dg::Format &format) {
    const std::size_t lastRead = sentOffset(format.ascii, format.highestOffset).value_or(0);
    return std::max<std::size_t>(format.framing.reportLength, lastRead + 1) + 1;
}

// The decoder's view of a report: the byte each offset must hold, or -1
// for the offsets the sample leaves free.
using View = std::array<int, kScratchSize>;

bool placeField(View &view, dg::Span field, std::int32_t value) {
    if (value < 0 || value > fieldMax(field)) {
        return false;
    }
    for (std::size_t i = field.last + 1u; i-- > field.first;) {
        view[i] = '0' + value % 10;
        value /= 10;
    }
    return true;
}

bool isPrintable(int c) { return c >= 0x20 && c <= 0x7E; }

bool placeAsciiButton(View &view, const dg::AsciiButton &rule, std::int16_t button) {
    const std::size_t at = rule.at;
    switch (rule.rule) {
    case dg::AsciiButtonRule::Character:
        // 0 is sent as the no-button character, which no other value may use.
        view[at] = button == 0 ? rule.noButton : button;
        return button == 0 || (isPrintable(button) && button != rule.noButton);
    case dg::AsciiButtonRule::Digit:
        view[at] = '0' + button;
        return isPrintable(view[at]);
    case dg::AsciiButtonRule::TwoDigit:
        view[at] = '0' + button / 10;
        view[at + 1] = '0' + button % 10;
        return button >= 0 && button <= 99;
    case dg::AsciiButtonRule::Threshold:
        view[at] = ' ';
        view[at + 1] = button == 0 ? '0' : '9';
        return button == 0 || button == kPressed;
    }
    return false;
}

void placeGuard(View &view, const dg::AsciiGuard &guard) {
    switch (guard.kind) {
    case dg::AsciiGuardKind::RequireDigits:
        for (std::size_t i = guard.span.first; i <= guard.span.last; ++i) {
            view[i] = view[i] < 0 ? '0' : view[i];
        }
        break;
    case dg::AsciiGuardKind::RequireChar:
        view[guard.span.first] = view[guard.span.first] < 0 ? guard.character : view[guard.span.first];
        break;
    case dg::AsciiGuardKind::None:
    case dg::AsciiGuardKind::RejectChar:
        break;
    }
}

bool encodeAscii(const dg::Format &format, const TabletSample &sample,
                 std::vector<std::uint8_t> &report) {
    const dg::AsciiDecoder &d = format.ascii;
    View view;
    view.fill(-1);
    if (!placeAsciiButton(view, d.button, sample.button) || !placeField(view, d.x, sample.x) ||
        !placeField(view, d.y, sample.y)) {
        return false;
    }
    placeGuard(view, d.guard);

    report.assign(asciiLength(format), kAsciiFiller);
    report.back() = frameByteOf(format);
    for (std::size_t offset = 0; offset < view.size(); ++offset) {
        if (view[offset] < 0) {
            continue;
        }
        const std::optional<std::size_t> sent = sentOffset(d, offset);
        if (!sent || *sent + 1 >= report.size()) {
            return false;
        }
        report[*sent] = static_cast<std::uint8_t>(view[offset]);
    }
    std::array<unsigned char, kScratchSize> scratch{};
    std::copy(report.begin(), report.end(), scratch.begin());
    return dg::asciiGuardPasses(d.guard, scratch.data());
}

// Binary reports.

// The bits a term carries in its byte: its mask, or for a whole byte every
// bit below the report mark's top bit (later bytes never hold the mark).
std::int32_t termBits(const dg::LayoutTerm &term, std::uint8_t mark) {
    return term.mask == dg::kWholeByte ? std::bit_floor(mark) - 1 : term.mask;
}

std::int32_t coordinateMax(const dg::CoordinateTerms &c, std::uint8_t mark) {
    std::int32_t covered = 0;
    for (std::size_t i = 0; i < c.count; ++i) {
        covered |= termBits(c.terms[i], mark) * c.terms[i].weight;
    }
    return covered;
}

bool placeCoordinate(std::vector<std::uint8_t> &bytes, const dg::CoordinateTerms &c,
                     std::uint8_t mark, std::int32_t value) {
    if (value < 0 || (value & ~coordinateMax(c, mark)) != 0) {
        return false;
    }
    for (std::size_t i = 0; i < c.count; ++i) {
        const dg::LayoutTerm &term = c.terms[i];
        bytes[term.at] |= static_cast<std::uint8_t>((value / term.weight) & termBits(term, mark));
    }
    return true;
}

bool placeBinaryButton(std::vector<std::uint8_t> &bytes, dg::BinaryButtonRule rule,
                       std::int16_t button) {
    const auto inRange = [button](int max) { return button >= 0 && button <= max; };
    const auto bits = static_cast<std::uint8_t>(button);
    switch (rule) {
    case dg::BinaryButtonRule::Bits2To6OfB0:
        bytes[0] |= static_cast<std::uint8_t>(bits << 2);
        return inRange(31);
    case dg::BinaryButtonRule::Bits2To5OfB0:
        bytes[0] |= static_cast<std::uint8_t>(bits << 2);
        return inRange(15);
    case dg::BinaryButtonRule::Bits2To5IfBit6:
        bytes[0] |= static_cast<std::uint8_t>(button == 0 ? 0 : 0x40 | bits << 2);
        return inRange(15);
    case dg::BinaryButtonRule::Bits0To2OfB0:
        bytes[0] |= bits;
        return inRange(7);
    case dg::BinaryButtonRule::Bits0To4OfB1:
        bytes[1] |= bits;
        return inRange(31);
    case dg::BinaryButtonRule::StatusRuleA:
        bytes[6] = button == 0 ? 0 : 21;  // pressed: above 20 with bit 6 clear
        return button == 0 || button == kPressed;
    case dg::BinaryButtonRule::StatusRuleB:
        bytes[6] = button == 0 ? 0 : 0x20;
        return button == 0 || button == kPressed;
    }
    return false;
}

std::size_t binaryLength(const dg::Format &format) {
    return std::max<std::size_t>(format.framing.reportLength, format.highestOffset + 1u);
}

bool encodeBinary(const dg::Format &format, const TabletSample &sample,
                  std::vector<std::uint8_t> &report) {
    const std::uint8_t mark = frameByteOf(format);
    const dg::LayoutTable &layout = dg::layoutTable(format.binary.layout);
    report.assign(binaryLength(format), 0);
    if (!placeBinaryButton(report, format.binary.button, sample.button) ||
        !placeCoordinate(report, layout.x, mark, sample.x) ||
        !placeCoordinate(report, layout.y, mark, sample.y) || (report[0] & mark) != 0) {
        return false;
    }
    report[0] |= mark;
    const bool laterBytesUnmarked = std::all_of(report.begin() + 1, report.end(), [mark](auto b) {
        return b < std::bit_floor(mark);
    });
    return laterBytesUnmarked && dg::binaryTestPasses(format.binary.test, report.data());
}

}  // namespace

std::span<const std::string_view> tabletModelNames() { return kNames; }

std::optional<TabletFormat> tabletFormat(std::string_view model, int format) {
    const std::optional<Found> found = findFormat(model, format);
    if (!found) {
        return std::nullopt;
    }
    const dg::Format &f = *found->format;
    TabletFormat info{};
    info.selector = found->model->selector == dg::Selector::AuxFormat ? TabletSelector::AuxFormat
                    : found->model->selector == dg::Selector::None    ? TabletSelector::None
                                                                      : TabletSelector::ReportFormat;
    info.declaresFraming = f.framing.write;
    info.frameByte = frameByteOf(f);
    info.reportLength = f.framing.reportLength;
    if (f.kind == dg::FormatKind::Ascii) {
        info.kind = TabletReportKind::Ascii;
        info.encodedLength = asciiLength(f);
        info.maxX = fieldMax(f.ascii.x);
        info.maxY = fieldMax(f.ascii.y);
    } else {
        const dg::LayoutTable &layout = dg::layoutTable(f.binary.layout);
        info.kind = TabletReportKind::Binary;
        info.encodedLength = binaryLength(f);
        info.maxX = coordinateMax(layout.x, info.frameByte);
        info.maxY = coordinateMax(layout.y, info.frameByte);
    }
    return info;
}

std::vector<std::int16_t> tabletButtons(std::string_view model, int format) {
    std::vector<std::int16_t> buttons;
    std::vector<std::uint8_t> report;
    for (int b = kLowestButton; b <= kHighestButton; ++b) {
        const TabletSample probe{static_cast<std::int16_t>(b), 0, 0};
        if (encodeTabletReport(model, format, probe, report)) {
            buttons.push_back(probe.button);
        }
    }
    return buttons;
}

bool encodeTabletReport(std::string_view model, int format, const TabletSample &sample,
                        std::vector<std::uint8_t> &report) {
    const std::optional<Found> found = findFormat(model, format);
    const bool encoded =
        found && (found->format->kind == dg::FormatKind::Ascii
                      ? encodeAscii(*found->format, sample, report)
                      : encodeBinary(*found->format, sample, report));
    if (!encoded) {
        report.clear();
    }
    return encoded;
}

}  // namespace drv
