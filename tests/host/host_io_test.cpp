// The host's contact with the outside: output targets, driver names and
// picture files.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "host/io/byte_sink.h"
#include "host/io/tcp_stream.h"
#include "host/loader/driver_search.h"
#include "host/picture/png_file.h"

namespace {

using namespace drv::host;
namespace fs = std::filesystem;

struct TcpCase {
    int line;
    const char *target;
    bool valid;
    const char *host;
    const char *port;
};

const TcpCase kTcpTargets[] = {
    {__LINE__, "tcp:plotter.local:9100", true, "plotter.local", "9100"},
    {__LINE__, "tcp:127.0.0.1:9100", true, "127.0.0.1", "9100"},
    {__LINE__, "tcp:[::1]:9101", true, "::1", "9101"},
    {__LINE__, "tcp:host", false, "", ""},
    {__LINE__, "tcp::9100", false, "", ""},
    {__LINE__, "tcp:host:", false, "", ""},
    {__LINE__, "host:9100", false, "", ""},
};

TEST(HostIo, ReadsTcpTargets) {
    for (const TcpCase &c : kTcpTargets) {
        SCOPED_TRACE(c.line);
        std::string host;
        std::string port;
        EXPECT_EQ(parseTcpTarget(c.target, host, port), c.valid);
        if (c.valid) {
            EXPECT_EQ(host, c.host);
            EXPECT_EQ(port, c.port);
        }
    }
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

TEST_F(FileOutput, ReportsAFolderThatIsNotThere) {
    std::string error;
    EXPECT_EQ(openByteSink({(dir_ / "no" / "job.plt").string(), std::nullopt}, error), nullptr);
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
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
