#include "host/script/script_parser.h"

#include <array>
#include <limits>

#include "host/job/palette_record.h"
#include "host/job/plot_ops.h"
#include "host/script/script_values.h"
#include "host/util/ascii_text.h"
#include "host/util/escapes.h"

namespace drv::host {
namespace {

constexpr std::size_t kMaxPaletteEntries = 256;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// One key=value argument of a line, with the columns of both halves.
struct Argument {
    std::string_view key;
    std::string_view value; // raw token; for quoted values, inside the quotes
    bool quoted = false;
    int keyColumn = 0;
    int valueColumn = 0;
};

// Reads one line into its first word and its arguments.
class LineReader {
public:
    LineReader(std::string_view line, int lineNumber) : line_(line), lineNumber_(lineNumber) {}

    // The operation word, or empty for a blank or comment line.
    std::string_view word() {
        skipBlanks();
        if (atEnd()) {
            return {};
        }
        const std::size_t start = pos_;
        while (pos_ < line_.size() && !isBlank(line_[pos_])) {
            ++pos_;
        }
        wordColumn_ = column(start);
        return line_.substr(start, pos_ - start);
    }

    int wordColumn() const { return wordColumn_; }

    // The next argument; false at the end of the line or on an error.
    bool next(Argument &arg, SourceError &error, bool &failed) {
        failed = false;
        skipBlanks();
        if (atEnd()) {
            return false;
        }
        const std::size_t keyStart = pos_;
        while (pos_ < line_.size() && line_[pos_] != '=' && !isBlank(line_[pos_])) {
            ++pos_;
        }
        arg.key = line_.substr(keyStart, pos_ - keyStart);
        arg.keyColumn = column(keyStart);
        if (pos_ == line_.size() || line_[pos_] != '=') {
            failed = true;
            error = {{lineNumber_, arg.keyColumn},
                     "expected key=value, found '" + std::string(arg.key) + "'"};
            return false;
        }
        ++pos_;
        arg.valueColumn = column(pos_);
        if (pos_ < line_.size() && line_[pos_] == '"') {
            return readQuoted(arg, error, failed);
        }
        const std::size_t valueStart = pos_;
        while (pos_ < line_.size() && !isBlank(line_[pos_])) {
            ++pos_;
        }
        arg.value = line_.substr(valueStart, pos_ - valueStart);
        arg.quoted = false;
        if (arg.value.empty()) {
            failed = true;
            error = {{lineNumber_, arg.valueColumn}, "missing value for " + std::string(arg.key)};
            return false;
        }
        return true;
    }

    int lineNumber() const { return lineNumber_; }

private:
    bool readQuoted(Argument &arg, SourceError &error, bool &failed) {
        const std::size_t quote = pos_++;
        const std::size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] != '"') {
            pos_ += line_[pos_] == '\\' ? 2 : 1;
        }
        if (pos_ >= line_.size()) {
            failed = true;
            error = {{lineNumber_, column(quote)}, "unterminated string"};
            return false;
        }
        arg.value = line_.substr(start, pos_ - start);
        arg.quoted = true;
        ++pos_;
        if (pos_ < line_.size() && !isBlank(line_[pos_])) {
            failed = true;
            error = {{lineNumber_, column(pos_)}, "expected a blank after the closing quote"};
            return false;
        }
        return true;
    }

    void skipBlanks() {
        while (pos_ < line_.size() && isBlank(line_[pos_])) {
            ++pos_;
        }
    }

    // A '#' at the start of a word begins a comment; inside a value (as in
    // palette=#FF0000) it does not.
    bool atEnd() const { return pos_ >= line_.size() || line_[pos_] == '#'; }

    int column(std::size_t offset) const { return static_cast<int>(offset) + 1; }

    std::string_view line_;
    int lineNumber_;
    std::size_t pos_ = 0;
    int wordColumn_ = 0;
};

SourceError valueError(const Argument &arg, int line, const ValueError &error) {
    // Quoted values start one column after the quote.
    return {{line, arg.valueColumn + static_cast<int>(error.offset) + (arg.quoted ? 1 : 0)},
            std::string(arg.key) + ": " + error.message};
}

// Decodes a quoted text argument into `out`.
bool readText(const Argument &arg, int line, std::string &out, SourceError &error) {
    if (!arg.quoted) {
        error = {{line, arg.valueColumn}, std::string(arg.key) + " takes a quoted string"};
        return false;
    }
    std::size_t offset = 0;
    std::string message;
    if (!decodeEscapes(arg.value, out, offset, message)) {
        error = {{line, arg.valueColumn + 1 + static_cast<int>(offset)}, message};
        return false;
    }
    return true;
}

class LineParser {
public:
    LineParser(LineReader &reader, std::int32_t &flags) : reader_(reader), flags_(flags) {}

    bool parseCall(const OpInfo &op, PlotCall &call, SourceError &error) {
        call.request.op = op.code;
        Argument arg;
        bool failed = false;
        bool flagsGiven = false;
        bool textGiven = false;
        while (reader_.next(arg, error, failed)) {
            if (equalsIgnoreCase(arg.key, "flags")) {
                if (!takeFlags(arg, flagsGiven, error)) {
                    return false;
                }
            } else if (const std::optional<int> cell = cellForKey(op, arg.key)) {
                if (!takeCell(op, *cell, arg, call, error)) {
                    return false;
                }
            } else if (!takeText(op, arg, textGiven, call, error)) {
                return false;
            }
        }
        if (failed) {
            return false;
        }
        call.request.flags = flags_;
        if (op.text == TextKind::Palette && !textGiven) {
            call.text = paletteRecord({});
        }
        return true;
    }

    bool parseImage(ImageDirective &image, SourceError &error) {
        Argument arg;
        bool failed = false;
        bool flagsGiven = false;
        std::uint8_t seen = 0;
        constexpr std::string_view kKeys[] = {"file", "x", "y", "width_mm", "height_mm", "depth"};
        while (reader_.next(arg, error, failed)) {
            if (equalsIgnoreCase(arg.key, "flags")) {
                if (!takeFlags(arg, flagsGiven, error)) {
                    return false;
                }
                continue;
            }
            std::size_t index = 0;
            while (index < std::size(kKeys) && !equalsIgnoreCase(kKeys[index], arg.key)) {
                ++index;
            }
            if (index == std::size(kKeys)) {
                return unknownKey("Image", arg, error);
            }
            if ((seen & (1u << index)) != 0) {
                return given(arg, error);
            }
            seen = static_cast<std::uint8_t>(seen | (1u << index));
            if (!takeImageValue(index, arg, image, error)) {
                return false;
            }
        }
        if (failed) {
            return false;
        }
        if ((seen & 1u) == 0) {
            error = {{reader_.lineNumber(), reader_.wordColumn()},
                     "Image needs file=\"PICTURE.png\""};
            return false;
        }
        image.flags = flags_;
        return true;
    }

private:
    bool takeFlags(const Argument &arg, bool &flagsGiven, SourceError &error) {
        if (flagsGiven) {
            return given(arg, error);
        }
        flagsGiven = true;
        ValueError valueErr;
        if (arg.quoted || !parseFlags(arg.value, flags_, valueErr)) {
            if (arg.quoted) {
                valueErr = {0, "flags are not a string"};
            }
            error = valueError(arg, reader_.lineNumber(), valueErr);
            return false;
        }
        return true;
    }

    bool takeCell(const OpInfo &op, int cell, const Argument &arg, PlotCall &call,
                  SourceError &error) {
        const auto index = static_cast<std::size_t>(cell);
        const CellType type = op.cells[index];
        const int line = reader_.lineNumber();
        if (type == CellType::Unused) {
            error = {{line, arg.keyColumn},
                     std::string(op.name) + " reads no p" + std::to_string(cell)};
            return false;
        }
        std::string_view &firstKey = cellKeys_[index];
        if ((call.givenCells & (1u << cell)) != 0) {
            // Name the keys as written: x twice, or x and p0 for one cell.
            const std::string key(arg.key);
            error = {{line, arg.keyColumn},
                     equalsIgnoreCase(firstKey, arg.key)
                         ? key + " given twice"
                         : key + " and " + std::string(firstKey) + " both set p" +
                               std::to_string(cell)};
            return false;
        }
        firstKey = arg.key;
        call.givenCells = static_cast<std::uint16_t>(call.givenCells | (1u << cell));
        ValueError valueErr;
        bool good = !arg.quoted;
        if (!good) {
            valueErr = {0, "expected a number, not a string"};
        } else if (type == CellType::Float) {
            good = parseReal(arg.value, call.request.param[index].f, valueErr);
        } else {
            std::int64_t min = std::numeric_limits<std::int32_t>::min();
            std::int64_t max = std::numeric_limits<std::int32_t>::max();
            if (type == CellType::Byte) {
                min = -128;
                max = 255;
            } else if ((op.ranged & (1u << cell)) != 0) {
                min = op.rangeMin;
                max = op.rangeMax;
            }
            good = parseInteger(arg.value, min, max, call.request.param[index].i, valueErr);
        }
        call.cellColumns[index] = arg.valueColumn;
        if (!good) {
            error = valueError(arg, line, valueErr);
        }
        return good;
    }

    bool takeText(const OpInfo &op, const Argument &arg, bool &textGiven, PlotCall &call,
                  SourceError &error) {
        const int line = reader_.lineNumber();
        const bool isText = equalsIgnoreCase(arg.key, "text") && op.text == TextKind::String;
        const bool isPalette = equalsIgnoreCase(arg.key, "palette") && op.text == TextKind::Palette;
        const bool isRow = equalsIgnoreCase(arg.key, "hex") && op.text == TextKind::Row;
        if (!isText && !isPalette && !isRow) {
            return unknownKey(op.name, arg, error);
        }
        if (textGiven) {
            return given(arg, error);
        }
        textGiven = true;
        ValueError valueErr;
        if (isText) {
            std::string decoded;
            if (!readText(arg, line, decoded, error)) {
                return false;
            }
            if (decoded.find('\0') != std::string::npos) {
                error = {{line, arg.valueColumn},
                         "text cannot hold a NUL byte: the driver reads it as a C string"};
                return false;
            }
            call.text.assign(decoded.begin(), decoded.end());
            call.text.push_back(0);
            return true;
        }
        if (isPalette) {
            std::vector<Rgb> colours;
            if (!parsePalette(arg.value, kMaxPaletteEntries, colours, valueErr)) {
                error = valueError(arg, line, valueErr);
                return false;
            }
            call.text = paletteRecord(colours);
            return true;
        }
        if (!parseHexBytes(arg.value, call.text, valueErr)) {
            error = valueError(arg, line, valueErr);
            return false;
        }
        return true;
    }

    bool takeImageValue(std::size_t index, const Argument &arg, ImageDirective &image,
                        SourceError &error) {
        const int line = reader_.lineNumber();
        ValueError valueErr;
        bool good = true;
        float real = 0;
        switch (index) {
        case 0:
            image.filePos = {line, arg.valueColumn};
            if (arg.quoted) {
                return readText(arg, line, image.file, error);
            }
            image.file = std::string(arg.value);
            return true;
        case 1:
            good = parseInteger(arg.value, std::numeric_limits<std::int32_t>::min(),
                                std::numeric_limits<std::int32_t>::max(), image.x, valueErr);
            break;
        case 2:
            good = parseInteger(arg.value, std::numeric_limits<std::int32_t>::min(),
                                std::numeric_limits<std::int32_t>::max(), image.y, valueErr);
            break;
        case 3:
        case 4:
            good = parseReal(arg.value, real, valueErr);
            if (good && !(real > 0)) {
                good = false;
                valueErr = {0, "the size must be above 0"};
            }
            (index == 3 ? image.widthMm : image.heightMm) = real;
            break;
        default:
            good = parseInteger(arg.value, 1, 32, image.depth, valueErr);
            if (good && image.depth != 1 && image.depth != 2 && image.depth != 4 &&
                image.depth != 8 && image.depth != 16 && image.depth != 32) {
                good = false;
                valueErr = {0, "depth is 1, 2, 4, 8, 16 or 32"};
            }
            break;
        }
        if (!good) {
            error = valueError(arg, line, valueErr);
        }
        return good;
    }

    bool unknownKey(std::string_view op, const Argument &arg, SourceError &error) {
        error = {{reader_.lineNumber(), arg.keyColumn},
                 std::string(op) + " has no argument '" + std::string(arg.key) + "'"};
        return false;
    }

    bool given(const Argument &arg, SourceError &error) {
        error = {{reader_.lineNumber(), arg.keyColumn}, std::string(arg.key) + " given twice"};
        return false;
    }

    LineReader &reader_;
    std::int32_t &flags_;
    std::array<std::string_view, PLOT_PARAM_COUNT> cellKeys_{}; // the key that gave each cell
};

const OpInfo *opForWord(std::string_view word) {
    if (!word.empty() && word[0] >= '0' && word[0] <= '9') {
        std::int32_t code = 0;
        ValueError ignored;
        return parseInteger(word, 1, 1000, code, ignored) ? findOp(code) : nullptr;
    }
    return findOp(word);
}

} // namespace

std::vector<ScriptStatement> parseScript(std::string_view source,
                                         std::vector<SourceError> &errors) {
    std::vector<ScriptStatement> statements;
    std::int32_t flags = 0; // sticky: each flags= holds until the next one
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < source.size()) {
        std::size_t stop = source.find('\n', start);
        if (stop == std::string_view::npos) {
            stop = source.size();
        }
        ++lineNumber;
        LineReader reader(source.substr(start, stop - start), lineNumber);
        start = stop + 1;
        const std::string_view word = reader.word();
        if (word.empty()) {
            continue;
        }
        LineParser parser(reader, flags);
        SourceError error;
        if (equalsIgnoreCase(word, "Image")) {
            ImageDirective image;
            image.pos = {lineNumber, reader.wordColumn()};
            if (parser.parseImage(image, error)) {
                statements.emplace_back(std::move(image));
            } else {
                errors.push_back(std::move(error));
            }
            continue;
        }
        const OpInfo *op = opForWord(word);
        if (op == nullptr) {
            errors.push_back({{lineNumber, reader.wordColumn()},
                              "unknown operation '" + std::string(word) + "'"});
            continue;
        }
        PlotCall call;
        call.pos = {lineNumber, reader.wordColumn()};
        if (parser.parseCall(*op, call, error)) {
            statements.emplace_back(std::move(call));
        } else {
            errors.push_back(std::move(error));
        }
    }
    return statements;
}

} // namespace drv::host
