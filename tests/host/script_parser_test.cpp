#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/job/plot_ops.h"
#include "host/script/script_parser.h"
#include "host/util/escapes.h"

namespace {

using namespace drv::host;

std::vector<ScriptStatement> parseOk(const std::string &source) {
    std::vector<SourceError> errors;
    std::vector<ScriptStatement> statements = parseScript(source, errors);
    for (const SourceError &e : errors) {
        ADD_FAILURE() << formatSourceError("script", e);
    }
    return statements;
}

PlotCall onlyCall(const std::vector<ScriptStatement> &statements) {
    if (statements.size() != 1 || !std::holds_alternative<PlotCall>(statements[0])) {
        ADD_FAILURE() << "expected exactly one request";
        return {};
    }
    return std::get<PlotCall>(statements[0]);
}

struct IntCellCase {
    int line;
    const char *source;
    std::int32_t op;
    int cell;
    std::int32_t value;
};

// Names, codes, aliases and number forms all land in the right cell.
constexpr IntCellCase kIntCells[] = {
    {__LINE__, "Plot x=100 y=200", OpPlot, 1, 200},
    {__LINE__, "plot p0=-5", OpPlot, 0, -5},
    {__LINE__, "OPPLOT P1=0x10", OpPlot, 1, 16},
    {__LINE__, "9 p0=7", OpPlot, 0, 7},
    {__LINE__, "  OpCircle cx=1 cy=2 radius=400   # trailing comment", OpCircle, 2, 400},
    {__LINE__, "PenColor pen=2 r=65535", OpPenColor, 1, 65535},
    {__LINE__, "BeginJob sync='!'", OpBeginJob, 8, 0x21},
    {__LINE__, "BeginJob terminator='\\r'", OpBeginJob, 9, 0x0D},
    {__LINE__, "BeginJob bias=-1", OpBeginJob, 5, -1},
    {__LINE__, "Label terminator=0x40", OpLabel, 2, 0x40},
    {__LINE__, "Font symbol_set_on=1 symbol_set=277", OpFont, 3, 277},
    {__LINE__, "RasterBegin columns=8 rows=2 depth=1", OpRasterBegin, 5, 2},
    {__LINE__, "Plot x=-2147483648", OpPlot, 0, INT32_MIN},
};

TEST(ScriptParser, FillsIntegerCells) {
    for (const IntCellCase &c : kIntCells) {
        SCOPED_TRACE(c.line);
        const PlotCall call = onlyCall(parseOk(c.source));
        EXPECT_EQ(call.request.op, c.op);
        EXPECT_EQ(call.request.param[c.cell].i, c.value);
    }
}

TEST(ScriptParser, FillsRealCellsAndTakesIntegersThere) {
    const PlotCall call = onlyCall(parseOk("Arc cx=1 sweep=90 chord=2.5"));
    EXPECT_EQ(call.request.param[7].f, 90.0f);
    EXPECT_EQ(call.request.param[8].f, 2.5f);
    EXPECT_EQ(call.givenCells, (1u << 0) | (1u << 7) | (1u << 8));
}

TEST(ScriptParser, FlagsStickUntilChanged) {
    const auto statements = parseOk(
        "BeginJob flags=ExpandPalette|FlagNoRotation\nPlot\nPlot flags=0x01\nPlot\nPlot flags=0\n");
    const std::int32_t expected[] = {0x30, 0x30, 0x01, 0x01, 0};
    ASSERT_EQ(statements.size(), std::size(expected));
    for (std::size_t i = 0; i < statements.size(); ++i) {
        EXPECT_EQ(std::get<PlotCall>(statements[i]).request.flags, expected[i]) << i;
    }
}

struct TextCase {
    int line;
    const char *source;
    std::string text; // what the request passes, NUL included
};

const TextCase kTexts[] = {
    {__LINE__, R"(Label text="Hi")", std::string("Hi\0", 3)},
    {__LINE__, R"(BeginJob text="\e%-12345X@PJL\r\n")", std::string("\x1B%-12345X@PJL\r\n\0", 16)},
    {__LINE__, R"(Label text="a \"q\" \\ \t#x")", std::string("a \"q\" \\ \t#x\0", 12)},
    {__LINE__, R"(Label text="\x41\x7e")", std::string("A~\0", 3)},
    {__LINE__, R"(EndJob)", std::string()}, // no text given: decided by the job
};

TEST(ScriptParser, DecodesQuotedTexts) {
    for (const TextCase &c : kTexts) {
        SCOPED_TRACE(c.line);
        const PlotCall call = onlyCall(parseOk(c.source));
        EXPECT_EQ(std::string(call.text.begin(), call.text.end()), c.text);
    }
}

TEST(ScriptParser, BuildsThePaletteRecord) {
    const PlotCall call = onlyCall(parseOk("RasterBegin depth=1 palette=#FFFFFF,#12ab00"));
    ASSERT_EQ(call.text.size(), 8u + 2 * 8u);
    RasterPalette palette{};
    std::memcpy(&palette, call.text.data(), call.text.size());
    EXPECT_EQ(palette.lastIndex, 1);
    EXPECT_EQ(palette.entries[0].red, 0xFFFF);
    EXPECT_EQ(palette.entries[1].red, 0x1212);
    EXPECT_EQ(palette.entries[1].green, 0xABAB);
    EXPECT_EQ(palette.entries[1].blue, 0);
}

TEST(ScriptParser, RasterBeginWithoutPalettePassesAnEmptyOne) {
    const PlotCall call = onlyCall(parseOk("RasterBegin depth=32"));
    ASSERT_EQ(call.text.size(), 8u);
    RasterPalette palette{};
    std::memcpy(&palette, call.text.data(), call.text.size());
    EXPECT_EQ(palette.lastIndex, -1);
}

TEST(ScriptParser, ReadsRowBytesAndImages) {
    const PlotCall row = onlyCall(parseOk("RasterRow hex=ff_C0,01"));
    EXPECT_EQ(row.text, (std::vector<std::uint8_t>{0xFF, 0xC0, 0x01}));

    const auto statements = parseOk("Image file=\"my pic.png\" x=5 width_mm=40 depth=8 flags=0x20");
    ASSERT_EQ(statements.size(), 1u);
    const auto &image = std::get<ImageDirective>(statements[0]);
    EXPECT_EQ(image.file, "my pic.png");
    EXPECT_EQ(image.x, 5);
    EXPECT_EQ(image.widthMm, 40.0f);
    EXPECT_FALSE(image.heightMm.has_value());
    EXPECT_EQ(image.depth, 8);
    EXPECT_EQ(image.flags, 0x20);
}

TEST(ScriptParser, SkipsBlankAndCommentLines) {
    const auto statements =
        parseOk("# header\n\n   \t\nRasterBegin palette=#000000 # black\nPenUp\n");
    EXPECT_EQ(statements.size(), 2u);
}

struct BadCase {
    int line;
    const char *source;
    int errorLine;
    int errorColumn;
    const char *message; // a part of the message
};

const BadCase kBadScripts[] = {
    {__LINE__, "Plott x=1", 1, 1, "unknown operation 'Plott'"},
    {__LINE__, "BeginJob\n  22 p0=1", 2, 3, "unknown operation '22'"},
    {__LINE__, "Plot x=1.5", 1, 8, "real number; this cell takes an integer"},
    {__LINE__, "Plot x=12a", 1, 10, "not an integer"},
    {__LINE__, "Plot x=99999999999", 1, 8, "out of range"},
    {__LINE__, "PenWidth width=wide", 1, 16, "not a number"},
    {__LINE__, "PenWidth width=1e40", 1, 16, "single-precision"},
    {__LINE__, "PenColor red=65536", 1, 14, "out of range 0..65535"},
    {__LINE__, "BeginJob bias=256", 1, 15, "out of range -128..255"},
    {__LINE__, "Label text=\"abc", 1, 12, "unterminated string"},
    {__LINE__, "Label text=\"abc\\\"", 1, 12, "unterminated string"},
    {__LINE__, "Label text=\"a\\q\"", 1, 14, "unknown escape \\q"},
    {__LINE__, "Label text=\"\\x4\"", 1, 13, "\\x needs two hex digits"},
    {__LINE__, "Label text=\"a\\x00b\"", 1, 12, "NUL byte"},
    {__LINE__, "Label text=abc", 1, 12, "quoted string"},
    {__LINE__, "Plot x=1 x=2", 1, 10, "x given twice"},
    {__LINE__, "Plot x=1 P0=2", 1, 10, "P0 and x both set p0"},
    {__LINE__, "Circle radius=1 r=2", 1, 17, "r and radius both set p2"},
    {__LINE__, "Plot p5=1", 1, 6, "Plot reads no p5"},
    {__LINE__, "Plot cx=1", 1, 6, "Plot has no argument 'cx'"},
    {__LINE__, "Plot text=\"a\"", 1, 6, "Plot has no argument 'text'"},
    {__LINE__, "Plot x", 1, 6, "expected key=value"},
    {__LINE__, "Plot x=", 1, 8, "missing value"},
    {__LINE__, "Plot flags=Bogus", 1, 12, "unknown flag 'Bogus'"},
    {__LINE__, "RasterRow hex=abc", 1, 18, "odd number of hex digits"},
    {__LINE__, "RasterRow hex=zz", 1, 15, "not a pair of hex digits"},
    {__LINE__, "RasterBegin palette=#12345", 1, 21, "#RRGGBB"},
    {__LINE__, "RasterBegin palette=#123456,", 1, 28, "ends with a comma"},
    {__LINE__, "Image x=1", 1, 1, "Image needs file="},
    {__LINE__, "Image file=a.png depth=3", 1, 24, "depth is 1, 2, 4, 8, 16 or 32"},
    {__LINE__, "Image file=a.png width_mm=0", 1, 27, "above 0"},
    {__LINE__, "Label text=\"a\"b", 1, 15, "blank after the closing quote"},
};

TEST(ScriptParser, ReportsWhereAndWhatIsWrong) {
    for (const BadCase &c : kBadScripts) {
        SCOPED_TRACE(c.line);
        std::vector<SourceError> errors;
        parseScript(c.source, errors);
        ASSERT_EQ(errors.size(), 1u) << c.source;
        EXPECT_EQ(errors[0].pos.line, c.errorLine);
        EXPECT_EQ(errors[0].pos.column, c.errorColumn);
        EXPECT_NE(errors[0].message.find(c.message), std::string::npos) << errors[0].message;
    }
}

TEST(ScriptParser, ReportsEveryBadLineAndKeepsTheGoodOnes) {
    std::vector<SourceError> errors;
    const auto statements = parseScript("Plot x=1\nNope\nPlot y=2.5\nPenUp\n", errors);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(formatSourceError("a.plt", errors[0]), "a.plt:2:1: unknown operation 'Nope'");
    EXPECT_EQ(errors[1].pos.line, 3);
    EXPECT_EQ(statements.size(), 2u);
}

TEST(OpTable, NamesAndCodesAgree) {
    for (const OpInfo &op : plotOps()) {
        SCOPED_TRACE(std::string(op.name));
        EXPECT_EQ(findOp(op.code), &op);
        EXPECT_EQ(findOp(op.name), &op);
        EXPECT_EQ(findOp("Op" + std::string(op.name)), &op);
    }
    EXPECT_EQ(findOp(0), nullptr);
    EXPECT_EQ(findOp(22), nullptr);
    EXPECT_EQ(findOp("Op"), nullptr);
    EXPECT_FALSE(cellForKey(*findOp(OpPlot), "p11").has_value());
    EXPECT_FALSE(cellForKey(*findOp(OpPlot), "p01").has_value());
}

TEST(Escapes, VisibleFormReadsBackToTheSameBytes) {
    const std::string bytes("\x1B*r3A\r\n\x00\x7F\xFF\"\\ok", 14);
    const std::string shown = visibleEscapes(bytes);
    EXPECT_EQ(shown, "\\e*r3A\\r\\n\\0\\x7F\\xFF\\\"\\\\ok");
    std::string back;
    std::size_t offset = 0;
    std::string error;
    ASSERT_TRUE(decodeEscapes(shown, back, offset, error)) << error;
    EXPECT_EQ(back, bytes);
}

} // namespace
