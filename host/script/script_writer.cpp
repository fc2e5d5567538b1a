#include "host/script/script_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "host/job/plot_ops.h"
#include "host/job/row_layout.h"
#include "host/util/escapes.h"

namespace drv::host {
namespace {

// The name a cell is written with: its first alias, or p<i>.
std::string cellName(const OpInfo &op, int cell) {
    for (const CellAlias &alias : op.aliases) {
        if (!alias.name.empty() && alias.cell == cell) {
            return std::string(alias.name);
        }
    }
    return "p" + std::to_string(cell);
}

void appendReal(std::string &out, float value) {
    char digits[32];
    // The shortest digits that read back as exactly this float.
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, ec == std::errc() ? end : digits);
}

void appendHex(std::string &out, const std::uint8_t *bytes, std::size_t count) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(kHex[bytes[i] >> 4]);
        out.push_back(kHex[bytes[i] & 15]);
    }
}

// The RasterPalette record as "#RRGGBB,...", from each entry's high bytes.
void appendPalette(std::string &out, const std::vector<std::uint8_t> &record) {
    std::int16_t lastIndex = -1;
    if (record.size() >= offsetof(RasterPalette, entries)) {
        std::memcpy(&lastIndex, record.data() + offsetof(RasterPalette, lastIndex), sizeof lastIndex);
    }
    for (int i = 0; i <= lastIndex; ++i) {
        const std::size_t at = offsetof(RasterPalette, entries) + static_cast<std::size_t>(i) * sizeof(RasterPaletteEntry) +
                               offsetof(RasterPaletteEntry, red);
        if (at + 6 > record.size()) {
            break;
        }
        std::uint16_t channel[3];
        std::memcpy(channel, record.data() + at, sizeof channel);
        const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(channel[0] >> 8), static_cast<std::uint8_t>(channel[1] >> 8),
                                     static_cast<std::uint8_t>(channel[2] >> 8)};
        out += i == 0 ? "#" : ",#";
        appendHex(out, rgb, 3);
    }
}

} // namespace

std::string writeScript(const std::vector<PlotCall> &calls, const std::vector<std::string> &header) {
    std::string out;
    for (const std::string &line : header) {
        out += "# " + line + "\n";
    }
    std::int32_t flags = 0; // flags hold from line to line until changed
    for (const PlotCall &call : calls) {
        const OpInfo *op = findOp(call.request.op);
        if (op == nullptr) {
            continue;
        }
        out += op->name;
        if (call.request.flags != flags) {
            flags = call.request.flags;
            out += " flags=" + std::to_string(flags);
        }
        for (int cell = 0; cell < PLOT_PARAM_COUNT; ++cell) {
            const CellType type = op->cells[static_cast<std::size_t>(cell)];
            if (type == CellType::Unused) {
                continue;
            }
            out += ' ' + cellName(*op, cell) + '=';
            if (type == CellType::Float) {
                appendReal(out, call.request.param[cell].f);
            } else if (type == CellType::Byte) {
                out += std::to_string(call.request.param[cell].i & 0xFF);
            } else {
                out += std::to_string(call.request.param[cell].i);
            }
        }
        if (op->text == TextKind::String && !call.text.empty()) {
            const std::size_t length = call.text.back() == 0 ? call.text.size() - 1 : call.text.size();
            out += " text=\"" + visibleEscapes({reinterpret_cast<const char *>(call.text.data()), length}) + "\"";
        } else if (op->text == TextKind::Palette) {
            std::string palette;
            appendPalette(palette, call.text);
            if (!palette.empty()) {
                out += " palette=" + palette; // none: the parser's empty palette
            }
        } else if (op->text == TextKind::Row && !call.text.empty()) {
            // The packed pixels only: the host pads a row again as it reads it.
            const std::int32_t columns = call.request.param[0].i;
            const std::size_t packed = columns >= 0 && isRasterDepth(call.request.param[1].i)
                                           ? packedRowBytes(static_cast<std::size_t>(columns), call.request.param[1].i)
                                           : call.text.size();
            if (packed > 0) {
                out += " hex=";
                appendHex(out, call.text.data(), std::min(packed, call.text.size()));
            }
        }
        out += '\n';
    }
    return out;
}

} // namespace drv::host
