// drvhost as a person runs it: the binary, stand-in drivers, real files,
// a pseudo-terminal as the serial line and a loopback TCP listener.
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/host/cli_fixture.h"
#include "tests/support/pseudo_terminal.h"

namespace {

namespace fs = std::filesystem;
using drv::test::DrvhostCli;
using drv::test::ProcessResult;

const char kScript[] = R"(# a small job
BeginJob flags=0x10 radix=32 bias=32 terminator=13 text="hi"
Plot x=1 y=2
TextStyle height_units=10
Label x=3 y=4 text="a\tb"
RasterBegin x=0 y=0 width_mm=10 height_mm=1 columns=10 rows=1 depth=2 palette=#000000,#FFFFFF
RasterRow hex=E400E0
RasterEnd
EndJob
)";

// What the echo driver makes of kScript: one line per request, the row's
// bytes raw and padded to two planes of two bytes.
const std::string kEcho = "1:op1:f16:0,0:\"hi\"\n"
                          "2:op9:f16:1,2\n"
                          "3:op12:f16:10,0\n"
                          "4:op13:f16:3,4:\"a\tb\"\n"
                          "5:op19:f16:0,0\n"
                          "6:op21:f16:10,2:" +
                          std::string("\xE4\0\xE0\0", 4) +
                          "\n"
                          "7:op20:f16:0,0\n"
                          "8:op2:f16:0,0:\"\"\n";

TEST_F(DrvhostCli, PlotsAScriptToAFile) {
    const std::string out = path("job.out");
    const ProcessResult r =
        drvhost({"plot", "--driver", "echo_plotter", file("job.plt", kScript), "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read(out), kEcho);
    EXPECT_NE(r.err.find("8 requests, " + std::to_string(kEcho.size()) + " bytes"),
              std::string::npos)
        << r.err;
    // Nothing but the result is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

// A 1-bit image the driver expands to three bytes a pixel: the host once
// sized the row's buffer from the packed row and corrupted its heap.
TEST_F(DrvhostCli, PlotsPaletteExpandedRowsWiderThanTheirPackedForm) {
    std::string row;
    for (int i = 0; i < 100; ++i) {
        const char digits[] = "0123456789abcdef";
        const int b = (i * 37 + 11) & 0xFF;
        row += {digits[b >> 4], digits[b & 15]};
    }
    const std::string script =
        "BeginJob page_width=11880 page_height=8400 pens=2\n"
        "RasterBegin x=100 y=100 width_mm=50 height_mm=5 columns=800 rows=2 depth=1 flags=32 "
        "palette=#000000,#ffffff\n"
        "RasterRow p0=800 p1=1 flags=32 hex=" + row + "\n"
        "RasterRow p0=800 p1=1 flags=32 hex=" + row + "\n"
        "RasterEnd\nEndJob\n";
    const auto result =
        drvhost({"plot", "--driver", "quillane", file("job.plt", script), "-o", path("out")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_GT(read(path("out")).size(), 2u * 800);
}

TEST_F(DrvhostCli, PlotsToStandardOutputFromStandardInput) {
    const ProcessResult r = drvhost(
        {"plot", "--driver", TEST_DRIVER_DIR "/libecho_plotter.so", "-", "-o", "-"}, kScript);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kEcho);
}

struct BadScript {
    int line;
    const char *script;
    const char *error; // the whole first line of standard error, after the file name
};

const BadScript kBadScripts[] = {
    {__LINE__, "BeginJob radix=32 bias=32 terminator=13\nPlotto x=1\nEndJob\n",
     ":2:1: unknown operation 'Plotto'"},
    {__LINE__, "BeginJob radix=32 bias=32 terminator=13\nPlot x=1O\nEndJob\n",
     ":2:9: x: '1O' is not an integer"},
    {__LINE__, "BeginJob radix=32 bias=32 terminator=13\nPlot x=2.5\nEndJob\n",
     ":2:8: x: '2.5' is a real number; this cell takes an integer"},
    {__LINE__, "BeginJob text=\"abc\nEndJob\n", ":1:15: unterminated string"},
    {__LINE__, "BeginJob text=\"\\x4\"\nEndJob\n", ":1:16: \\x needs two hex digits"},
    {__LINE__, "BeginJob radix=32 bias=32 terminator=13\nPlot x=1 y=1\n",
     ":2:1: the script ends inside the job begun on line 1: end it with EndJob"},
};

TEST_F(DrvhostCli, BadScriptsLeaveTheOutputAlone) {
    for (const BadScript &c : kBadScripts) {
        SCOPED_TRACE(c.line);
        const std::string script = file("bad.plt", c.script);
        const std::string out = path("old.out");
        file("old.out", "previous result");
        const ProcessResult r = drvhost({"plot", "--driver", "echo_plotter", script, "-o", out});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), script + c.error);
        EXPECT_EQ(read(out), "previous result");
        EXPECT_FALSE(fs::exists(path("new.out")));
    }
}

TEST_F(DrvhostCli, AFailingJobLeavesNoFile) {
    const std::string script =
        file("fault.plt",
             "BeginJob radix=32 bias=32 terminator=13\nPlot x=1 y=1\nFillType level=-1\nEndJob\n");
    const ProcessResult r =
        drvhost({"plot", "--driver", "echo_plotter", script, "-o", path("fault.out")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 3: the driver reported 1073741824 bytes"), std::string::npos)
        << r.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(DrvhostCli, SendsAJobToATcpListenerByteForByte) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length);
    auto received = std::async(std::launch::async, [listener] {
        const int peer = ::accept(listener, nullptr, nullptr);
        std::string bytes;
        char buffer[512];
        for (ssize_t n; (n = ::read(peer, buffer, sizeof buffer)) > 0;) {
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(peer);
        return bytes;
    });
    const std::string target = "tcp:127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    const ProcessResult r =
        drvhost({"plot", "--driver", "echo_plotter", file("job.plt", kScript), "-o", target});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(received.get(), kEcho);
    ::close(listener);
}

TEST_F(DrvhostCli, ReportsAnUnreachableTcpTarget) {
    // Bind a port and close it again: nothing listens there.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(s);
    const std::string port = std::to_string(ntohs(address.sin_port));
    const ProcessResult r = drvhost({"plot", "--driver", "echo_plotter", file("job.plt", kScript),
                                     "-o", "tcp:127.0.0.1:" + port});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("127.0.0.1:" + port + ": Connection refused"), std::string::npos) << r.err;
}

using drv::test::PseudoTerminal;

TEST_F(DrvhostCli, PlotsOnASerialLine) {
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    auto run = std::async(std::launch::async, [&] {
        return drvhost({"plot", "--driver", "echo_plotter", file("job.plt", kScript), "--device",
                        line.name(), "--baud", "19200", "--flow", "xonxoff"});
    });
    const std::string bytes = line.readMaster(kEcho.size(), std::chrono::seconds(10));
    const ProcessResult r = run.get();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(bytes, kEcho);
}

TEST_F(DrvhostCli, RefusesASerialSettingTheLineCannotTake) {
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    const ProcessResult r = drvhost({"plot", "--driver", "echo_plotter", file("job.plt", kScript),
                                     "--device", line.name(), "--baud", "12345"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("unsupported baud rate 12345"), std::string::npos) << r.err;
}

// Three binary reports of the echo tablet with trouble between them: noise
// before the first, a lost byte in the second, one rejected, one turned away.
std::string binaryStream() {
    const unsigned char bytes[] = {
        0x11, 0x22,                         // noise while the tablet wakes up
        0x84, 0x01, 0x02, 0x00, 0x03, 0x04, // button 1 at (130, 388)
        0x88, 0x01, 0x02, 0x00, 0x03,       // a byte lost: dropped
        0x80, 0x7F, 0x7F, 0x00, 0x7F, 0x7F, // button 0 at (16383, 16383)
        0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, // rejected by the driver
        0x80, 0x00, 0x00, 0x01, 0x00, 0x00, // turned away by the driver
        0xBC, 0x00, 0x05, 0x00, 0x00, 0x06, // button 15 at (5, 6)
    };
    return std::string(reinterpret_cast<const char *>(bytes), sizeof bytes);
}

TEST_F(DrvhostCli, DecodesARecordedTabletStream) {
    const ProcessResult r =
        drvhost({"tablet", "--driver", "echo_tablet", "--format", "2", "--setup-a", "GO\\r",
                 "--input", file("tablet.bin", binaryStream())});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "button,x,y\n1,130,388\n0,16383,16383\n15,5,6\n");
    EXPECT_NE(
        r.err.find(
            "set-up text \"GO\\r\" (3 bytes); reports start at a byte with bits 0x80 set, 6 bytes"),
        std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("3 reports decoded, 1 rejected (-9), 1 turned away, 2 unframed"),
              std::string::npos)
        << r.err;
}

TEST_F(DrvhostCli, DecodesLineReportsAsJson) {
    const std::string stream = "100123,00456\r\n00001,00002\r\n#00000,00000\r\n200100,00200\r\n";
    const ProcessResult r = drvhost({"tablet", "--driver", "echo_tablet", "--json"}, stream);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"button\":1,\"x\":123,\"y\":456}\n{\"button\":2,\"x\":100,\"y\":200}\n");
    EXPECT_NE(r.err.find("2 reports decoded, 0 rejected (-9), 1 turned away, 1 unframed"),
              std::string::npos)
        << r.err;
}

TEST_F(DrvhostCli, ReadsATabletOnASerialLine) {
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    auto run = std::async(std::launch::async, [&] {
        return drvhost({"tablet", "--driver", "echo_tablet", "--format", "2", "--setup-a", "GO\\r",
                        "--device", line.name(), "--baud", "9600", "--data-bits", "8", "--parity",
                        "none", "--stop-bits", "1", "--count", "3"});
    });
    // The tablet first receives its set-up text.
    EXPECT_EQ(line.readMaster(3, std::chrono::seconds(10)), "GO\r");
    const std::string stream = binaryStream();
    ASSERT_EQ(::write(line.master(), stream.data(), stream.size()),
              static_cast<ssize_t>(stream.size()));
    // The last report has no successor: the quiet line completes it.
    const ProcessResult r = run.get();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "button,x,y\n1,130,388\n0,16383,16383\n15,5,6\n");
}

TEST_F(DrvhostCli, StopsReadingWhenTheTabletHangsUp) {
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    auto run = std::async(std::launch::async, [&] {
        return drvhost(
            {"tablet", "--driver", "echo_tablet", "--setup-a", "GO", "--device", line.name()});
    });
    EXPECT_EQ(line.readMaster(2, std::chrono::seconds(10)), "GO");
    line.closeMaster();
    const ProcessResult r = run.get();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "button,x,y\n");
    EXPECT_NE(r.err.find("0 reports decoded"), std::string::npos) << r.err;
}

TEST_F(DrvhostCli, ListsTheDriversItFinds) {
    const ProcessResult r = drvhost({"list"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("echo_plotter pldbin"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("echo_tablet  dgdbin"), std::string::npos) << r.out;
}

TEST_F(DrvhostCli, NamesTheFoldersWhenADriverIsMissing) {
    const ProcessResult r =
        drvhost({"plot", "--driver", "nosuch", file("job.plt", kScript), "-o", "-"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no driver 'nosuch' (libnosuch.so) in:\n  " TEST_DRIVER_DIR),
              std::string::npos)
        << r.err;
}

TEST_F(DrvhostCli, RefusesBadUsage) {
    EXPECT_EQ(drvhost({}).status, 2);
    EXPECT_EQ(drvhost({"plot", "--driver", "x", "s.plt"}).status, 2); // no output
    EXPECT_EQ(drvhost({"plot", "--driver", "x", "s.plt", "-o", "a", "--device", "b"}).status, 2);
    EXPECT_EQ(drvhost({"tablet", "--driver", "x", "--parity", "mark"}).status, 2);
    EXPECT_EQ(drvhost({"tablet", "--driver", "x", "--setup-a",
                       "0123456789012345678901234567890123456789"})
                  .status,
              2);
}

} // namespace
