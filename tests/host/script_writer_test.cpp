#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/script/script_parser.h"
#include "host/script/script_writer.h"

namespace {

using namespace drv::host;

std::vector<PlotCall> calls(const std::string &script) {
    std::vector<SourceError> errors;
    std::vector<PlotCall> out;
    for (const ScriptStatement &statement : parseScript(script, errors)) {
        out.push_back(std::get<PlotCall>(statement));
    }
    for (const SourceError &e : errors) {
        ADD_FAILURE() << formatSourceError("script", e);
    }
    return out;
}

// Written out and read back, every request is the same to the last bit
// and every text the same to the last byte.
TEST(ScriptWriter, ReadsBackIntoTheSameCalls) {
    struct Case {
        int line;
        std::string script;
    };
    const Case cases[] = {
        {__LINE__, "BeginJob page_width=16000 page_height=11000 pens=8 bias=0x20 radix=32 sync_count=2 sync='!' "
                   "terminator='\\r' checksum=1 text=\"\\e%-12345X\"\nEndJob copies=3 copy_switch=1"},
        {__LINE__, "PenWidth pen=2 width=0.35\nVelocity pen=1 on=1 speed=0.1 p5=1 p6=1e38\n"
                   "TextStyle height_mm=1e-7 width_mm=123456.79 dir_x=-0 dir_y=1 slant=0.333333343"},
        {__LINE__, "Arc cx=-5 cy=7 sx=1 sy=2 ex=3 ey=4 sweep=-90.123456 chord=5\nCircle cx=1 cy=2 r=3 chord=7"},
        // flags hold until changed, and are written where they change
        {__LINE__, "Plot x=1 y=2 flags=0x21\nPlot x=3 y=4\nPlot x=5 y=6 flags=0\nPenUp flags=NoRotation"},
        {__LINE__, "Label x=1 y=2 text=\"quote \\\" backslash \\\\ tab \\t byte \\x01 \\xFF\"\n"
                   "Label x=0 y=0 terminator=0x0A text=\"\""},
        {__LINE__, "RasterBegin x=0 y=0 width_mm=10 height_mm=5 columns=3 rows=2 depth=4 palette=#FF0000,#00ff00\n"
                   "RasterRow hex=1230\nRasterRow columns=3 depth=4 hex=4560\nRasterEnd\nRasterBegin columns=0 rows=0 depth=1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const std::vector<PlotCall> first = calls(c.script);
        const std::string written = writeScript(first, {"a header"});
        SCOPED_TRACE(written);
        const std::vector<PlotCall> second = calls(written);
        ASSERT_EQ(first.size(), second.size());
        for (std::size_t i = 0; i < first.size(); ++i) {
            EXPECT_EQ(std::memcmp(&first[i].request, &second[i].request, sizeof(PlotRequest)), 0) << i;
            EXPECT_EQ(first[i].text, second[i].text) << i;
        }
        EXPECT_EQ(written.rfind("# a header\n", 0), 0u);
    }
}

} // namespace
