// The host's contact with the outside: output targets, driver names and
// picture files.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "host/io/byte_sink.h"
#include "host/io/delivery_watch.h"
#include "host/io/input_file.h"
#include "host/io/progress_meter.h"
#include "host/io/tcp_stream.h"
#include "host/util/amount_text.h"
#include "host/loader/driver_search.h"
#include "host/picture/png_file.h"

namespace {

using namespace drv::host;
namespace fs = std::filesystem;

struct TcpCase {
    int line;
    const char *target;
    const char *host;  // null: refused
    const char *port;  // or, when refused, the reason
};

// A tcp: target has a host and a port 1..65535, or it is an error that
// says which is wrong; it is never taken for a file name.
const TcpCase kTcpTargets[] = {
    {__LINE__, "tcp:plotter.local:9100", "plotter.local", "9100"},
    {__LINE__, "tcp:127.0.0.1:9100", "127.0.0.1", "9100"},
    {__LINE__, "tcp:[::1]:9101", "::1", "9101"},
    {__LINE__, "tcp:h:1", "h", "1"},
    {__LINE__, "tcp:h:065535", "h", "65535"},
    {__LINE__, "tcp:127.0.0.1", nullptr, "tcp:127.0.0.1: no port: write tcp:HOST:PORT"},
    {__LINE__, "tcp::9100", nullptr, "tcp::9100: no host: write tcp:HOST:PORT"},
    {__LINE__, "tcp:host:", nullptr, "tcp:host:: no port: write tcp:HOST:PORT"},
    {__LINE__, "tcp:", nullptr, "tcp:: no port: write tcp:HOST:PORT"},
    {__LINE__, "tcp:127.0.0.1:99999", nullptr,
     "tcp:127.0.0.1:99999: port '99999' is not a number from 1 to 65535"},
    {__LINE__, "tcp:h:0", nullptr, "tcp:h:0: port '0' is not a number from 1 to 65535"},
    {__LINE__, "tcp:h:jet", nullptr, "tcp:h:jet: port 'jet' is not a number from 1 to 65535"},
    {__LINE__, "tcp:h:-1", nullptr, "tcp:h:-1: port '-1' is not a number from 1 to 65535"},
    {__LINE__, "tcp:::1:9100", nullptr,
     "tcp:::1:9100: an IPv6 address goes in brackets: tcp:[ADDRESS]:PORT"},
    {__LINE__, "tcp:[::1", nullptr, "tcp:[::1: no ']' after the IPv6 address"},
    {__LINE__, "tcp:[::1]9100", nullptr,
     "tcp:[::1]9100: expected ':' and the port after the IPv6 address"},
};

TEST(HostIo, ReadsTcpTargets) {
    for (const TcpCase &c : kTcpTargets) {
        SCOPED_TRACE(c.line);
        EXPECT_TRUE(isTcpTarget(c.target));
        TcpTarget target;
        std::string error;
        const bool good = parseTcpTarget(c.target, target, error);
        EXPECT_EQ(good, c.host != nullptr);
        if (good) {
            EXPECT_EQ(target.host, c.host);
            EXPECT_EQ(target.port, c.port);
        } else {
            EXPECT_EQ(error, c.port);
            // Opening one fails the same way, and no file of that name appears.
            EXPECT_EQ(openByteSink({c.target, std::nullopt}, error), nullptr);
            EXPECT_EQ(error, c.port);
        }
    }
    EXPECT_FALSE(isTcpTarget("host:9100"));
    EXPECT_FALSE(isTcpTarget("TCP:host:9100"));
}

struct AmountCase {
    int line;
    std::uint64_t bytes;
    const char *text;
};

TEST(HostIo, SaysSizesAndStallsInWords) {
    const AmountCase cases[] = {
        {__LINE__, 0, "0 bytes"},          {__LINE__, 1, "1 byte"},
        {__LINE__, 999, "999 bytes"},      {__LINE__, 1000, "1.0 kB"},
        {__LINE__, 64500, "64.5 kB"},      {__LINE__, 999999, "1.0 MB"},
        {__LINE__, 1234567, "1.2 MB"},     {__LINE__, 4900000000, "4.9 GB"},
    };
    for (const AmountCase &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(byteCountText(c.bytes), c.text);
    }
    EXPECT_EQ(stallText(std::chrono::seconds(30), 1200000, 4900000),
              "plotter not reading for 30 s (sent 1.2 MB of 4.9 MB)");
    EXPECT_EQ(stallText(std::chrono::seconds(60), 12, 0), "plotter not reading for 60 s (sent 12 bytes)");
    EXPECT_EQ(durationText(59.4), "59 s");
    EXPECT_EQ(durationText(190), "3 min 10 s");
    EXPECT_EQ(durationText(7500), "2 h 5 min");
    // 9600 baud, 8 data bits, no parity, 1 stop bit: ten bits a character.
    EXPECT_DOUBLE_EQ(serialBytesPerSecond(9600, 8, false, 1), 960.0);
    EXPECT_DOUBLE_EQ(serialBytesPerSecond(9600, 8, true, 2), 800.0);
}

TEST(HostIo, ProgressLineShowsBytesPercentageAndTimeLeftOnALine) {
    const ProgressMeter line(4900000, false, 960);
    EXPECT_EQ(line.line(1225000), "[#######.......................] 25%  1.2 MB of 4.9 MB  "
                                  "1 h 3 min left");
    const ProgressMeter socket(1000, false);
    EXPECT_EQ(socket.line(1000), "[##############################] 100%  1.0 kB of 1.0 kB");
    EXPECT_EQ(socket.line(0), "[..............................] 0%  0 bytes of 1.0 kB");
}

TEST(HostIo, NamesDriversByTheirLibraryFiles) {
    EXPECT_EQ(driverStem("quillane"), "quillane");
    EXPECT_EQ(driverStem("/opt/drv/lib/libdrevant.so"), "drevant");
    EXPECT_EQ(driverStem("./libambrel.so"), "ambrel");
    EXPECT_EQ(driverStem("lib.so"), "lib.so");
    EXPECT_EQ(driverStem("/x/other.dll"), "other.dll");
}

class FileOutput : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("drvhost_io_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::size_t files() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    static std::string read(const fs::path &path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path dir_;
};

TEST_F(FileOutput, ReplacesTheFileOnlyWhenCommitted) {
    const fs::path target = dir_ / "job.plt";
    std::ofstream(target) << "old";
    const std::uint8_t bytes[] = {'n', 0, 'w'};
    std::string error;
    {
        const auto sink = openByteSink({target.string(), std::nullopt}, error);
        ASSERT_NE(sink, nullptr) << error;
        ASSERT_TRUE(sink->write(bytes, sizeof bytes, error));
        EXPECT_EQ(read(target), "old"); // still being written beside it
        EXPECT_EQ(files(), 2u);
    } // abandoned
    EXPECT_EQ(read(target), "old");
    EXPECT_EQ(files(), 1u);
    const auto sink = openByteSink({target.string(), std::nullopt}, error);
    ASSERT_TRUE(sink->write(bytes, sizeof bytes, error));
    ASSERT_TRUE(sink->commit(error)) << error;
    EXPECT_EQ(read(target), std::string("n\0w", 3));
    EXPECT_EQ(files(), 1u);
}

TEST_F(FileOutput, SaysWhyAFileCannotBeWritten) {
    std::string error;
    const std::string missing = (dir_ / "no" / "job.plt").string();
    EXPECT_EQ(openByteSink({missing, std::nullopt}, error), nullptr);
    EXPECT_EQ(error, missing + ": the folder " + (dir_ / "no").string() + " does not exist");
    // A folder where the file should be.
    EXPECT_EQ(openByteSink({dir_.string(), std::nullopt}, error), nullptr);
    EXPECT_EQ(error, dir_.string() + ": is a folder, not a file");
    // A file that exists in a folder that takes no new file: the result
    // is made beside it, so the folder is what is wrong.
    EXPECT_EQ(openByteSink({"/proc/version", std::nullopt}, error), nullptr);
    EXPECT_EQ(error.rfind("/proc/version: the folder /proc takes no new file (", 0), 0u) << error;
}

TEST_F(FileOutput, ReadsInputsWholeAndSaysWhatIsWrong) {
    const fs::path script = dir_ / "job.plt";
    std::ofstream(script) << "PenUp\n";
    std::string text;
    std::string error;
    ASSERT_TRUE(readInputFile(script.string(), text, error)) << error;
    EXPECT_EQ(text, "PenUp\n");
    EXPECT_FALSE(readInputFile(dir_.string(), text, error));
    EXPECT_EQ(error, dir_.string() + ": is a folder, not a file");
    EXPECT_FALSE(readInputFile((dir_ / "none").string(), text, error));
    EXPECT_EQ(error, (dir_ / "none").string() + ": No such file or directory");
    // One file under two names is one file.
    fs::create_symlink(script, dir_ / "link.plt");
    EXPECT_TRUE(sameFile(script.string(), (dir_ / "." / "link.plt").string()));
    EXPECT_FALSE(sameFile(script.string(), (dir_ / "other.plt").string()));
}

TEST_F(FileOutput, PicturesSurviveAPngRoundTrip) {
    RgbImage image;
    image.width = 3;
    image.height = 2;
    image.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 250, 251, 252, 0, 0, 0, 255, 255, 255};
    const std::string path = (dir_ / "p.png").string();
    std::string error;
    ASSERT_TRUE(writePng(path, image, error)) << error;
    RgbImage back;
    ASSERT_TRUE(readPng(path, back, error)) << error;
    EXPECT_EQ(back.width, 3u);
    EXPECT_EQ(back.height, 2u);
    EXPECT_EQ(back.pixels, image.pixels);
}

TEST_F(FileOutput, RefusesFilesThatAreNoPictures) {
    const fs::path path = dir_ / "fake.png";
    std::ofstream(path) << "not a picture";
    RgbImage image;
    std::string error;
    EXPECT_FALSE(readPng(path.string(), image, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(readPng((dir_ / "missing.png").string(), image, error));
}

} // namespace
