// Reading HP-GL/2 commands: a two-letter mnemonic (either case), then
// parameters (decimal numbers separated by commas or spaces) up to ";",
// the next mnemonic or an escape byte. LB, DT, CO and PE have syntax of
// their own. Escape sequences between commands switch to PCL ("\e%#A") or
// carry job control ("\e%-12345X" and the PJL lines after it, "\eE").
#include "host/decode/hpgl2_decoder.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "host/decode/hpgl2_machine.h"
#include "host/decode/hpgl2_pe.h"
#include "host/decode/pcl_raster.h"

namespace drv::decode {
namespace {

constexpr int kEscape = 0x1B;
constexpr std::size_t kMaxNumberChars = 32;
constexpr std::size_t kMaxParams = std::size_t{1} << 20;
constexpr std::size_t kMaxLabel = std::size_t{1} << 16;

bool isLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, Drawing &drawing)
        : in_(bytes), machine_(drawing) {}

    void run();

private:
    void readCommand(std::size_t offset);
    bool readParams(std::vector<double> &params, std::size_t offset);
    void readLabel(std::size_t offset);
    void readTerminator();
    void skipQuoted();
    void escape(std::size_t offset);
    void skipJobControl();

    ByteCursor in_;
    Hpgl2Machine machine_;
    PclState pcl_;
};

void Reader::run() {
    while (!in_.atEnd()) {
        const std::size_t offset = in_.offset();
        const int c = in_.peek();
        if (c == kEscape) {
            in_.next();
            escape(offset);
        } else if (isLetter(c)) {
            readCommand(offset);
        } else {
            in_.next();
            if (c > ' ' && c != ';' && c != ',') {
                machine_.log().problem(offset, "byte " + std::to_string(c) + " outside a command");
            }
        }
    }
    machine_.finish();
}

bool Reader::readParams(std::vector<double> &params, std::size_t offset) {
    params.clear();
    bool ok = true;
    while (!in_.atEnd()) {
        const int c = in_.peek();
        if (c == ';') {
            in_.next();
            break;
        }
        if (c == kEscape || isLetter(c)) {
            break;
        }
        if (c == ',' || c <= ' ') {
            in_.next();
            continue;
        }
        const std::size_t start = in_.offset();
        std::string number;
        while (number.size() <= kMaxNumberChars) {
            const int d = in_.peek();
            if (!(std::isdigit(d) || d == '.' || ((d == '-' || d == '+') && number.empty()))) {
                break;
            }
            number.push_back(static_cast<char>(in_.next()));
        }
        char *end = nullptr;
        const double value = number.empty() ? 0 : std::strtod(number.c_str(), &end);
        if (number.empty() || number.size() > kMaxNumberChars || *end != '\0' ||
            !std::isfinite(value)) {
            machine_.log().problem(start, "malformed number in a command's parameters");
            while (!in_.atEnd() && in_.peek() != ';' && in_.peek() != kEscape &&
                   !isLetter(in_.peek())) {
                in_.next();
            }
            ok = false;
            continue;
        }
        if (params.size() < kMaxParams) {
            params.push_back(std::clamp(value, -1e12, 1e12));
        } else if (params.size() == kMaxParams) {
            machine_.log().problem(offset, "more than 2^20 parameters: the rest are dropped");
            params.push_back(0);
        }
    }
    if (params.size() > kMaxParams) {
        params.resize(kMaxParams);
    }
    return ok;
}

void Reader::readLabel(std::size_t offset) {
    LabelStyle &style = machine_.labelStyle();
    std::string text;
    while (!in_.atEnd()) {
        const int c = in_.next();
        if (c == style.terminator) {
            if (style.terminatorPrinted && c >= ' ') {
                text.push_back(static_cast<char>(c));
            }
            machine_.label(text);
            return;
        }
        if (text.size() < kMaxLabel) {
            text.push_back(static_cast<char>(c));
        }
    }
    machine_.log().problem(offset, "label not ended by its terminator");
    machine_.label(text);
}

void Reader::readTerminator() {
    LabelStyle &style = machine_.labelStyle();
    const int c = in_.peek();
    if (c == ';' || c < 0) {
        in_.next();
        style.terminator = 3;
        style.terminatorPrinted = true;
        return;
    }
    style.terminator = in_.next();
    std::vector<double> params;
    if (in_.peek() == ',') {
        readParams(params, in_.offset());
        style.terminatorPrinted = params.empty() || params[0] == 0;
    } else if (in_.peek() == ';') {
        in_.next();
        style.terminatorPrinted = true;
    }
}

void Reader::skipQuoted() {
    while (!in_.atEnd() && in_.peek() <= ' ') {
        in_.next();
    }
    if (in_.peek() == '"') {
        in_.next();
        while (!in_.atEnd() && in_.next() != '"') {
        }
    }
    std::vector<double> ignored;
    readParams(ignored, in_.offset());
}

void Reader::readCommand(std::size_t offset) {
    std::string mnemonic;
    mnemonic.push_back(static_cast<char>(std::toupper(in_.next())));
    if (!isLetter(in_.peek())) {
        machine_.log().problem(offset, "letter without a second one: not a command");
        return;
    }
    mnemonic.push_back(static_cast<char>(std::toupper(in_.next())));
    if (mnemonic == "PE") {
        readPolylineEncoded(in_, machine_);
        return;
    }
    if (mnemonic == "LB") {
        readLabel(offset);
        return;
    }
    if (mnemonic == "DT") {
        readTerminator();
        return;
    }
    if (mnemonic == "CO" || mnemonic == "BP") {
        skipQuoted();
        return;
    }
    std::vector<double> params;
    if (!readParams(params, offset)) {
        return;
    }
    if (!machine_.command(mnemonic, params, offset)) {
        machine_.log().note(offset, mnemonic + " is not known to the decoder and was skipped");
    }
}

void Reader::skipJobControl() {
    // PJL lines follow the universal exit: "@PJL ..." up to a line feed.
    for (;;) {
        while (in_.peek() == '\r' || in_.peek() == '\n') {
            in_.next();
        }
        if (in_.peek() != '@') {
            return;
        }
        while (!in_.atEnd() && in_.next() != '\n') {
        }
    }
}

void Reader::escape(std::size_t offset) {
    PclEscape e;
    if (!readEscape(in_, e, false)) {
        machine_.log().problem(offset, "malformed escape sequence");
        return;
    }
    while (e.more && readEscape(in_, e, true)) {
    }
    if (e.twoByte) {
        if (e.kind == 'E') {
            machine_.initialise();
            pcl_ = PclState{};
        } else {
            machine_.log().note(offset, std::string("escape \\e") + char(e.kind) + " ignored");
        }
        return;
    }
    if (e.kind == '%' && e.group == 0 && e.letter == 'X') {
        skipJobControl();
        return;
    }
    if (e.kind == '%' && e.group == 0 && e.letter == 'A') {
        PclContext context = machine_.pclContext();
        const int mode = runPcl(in_, pcl_, context);
        machine_.pclReturned(context, mode);
        if (context.reset) {
            pcl_ = PclState{};
        }
        return;
    }
    if (e.kind == '%' && e.letter == 'B') {
        return; // already in HP-GL/2
    }
    if (e.letter == 'W' && e.value > 0) {
        in_.skip(static_cast<std::size_t>(std::min(e.value, 1e9)));
    }
    machine_.log().note(offset, "escape sequence outside PCL ignored");
}

} // namespace

Drawing decodeHpgl2(std::span<const std::uint8_t> bytes) {
    Drawing drawing;
    drawing.language = "hpgl2";
    drawing.bytes = bytes.size();
    Reader reader(bytes, drawing);
    reader.run();
    return drawing;
}

} // namespace drv::decode
