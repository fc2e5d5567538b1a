// What the end-to-end tests of the tablet commands share: a private folder,
// drvhost run to its end or watched while it runs, and streams of reports
// that the suite's encoder makes for any model.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "digitizers/encoder/tablet_encoder.h"
#include "tests/host/run_process.h"
#include "tests/tablet/live_process.h"

namespace drv::test {

class TabletCli : public ::testing::Test {
protected:
    void SetUp() override {
        // The suite's tablet libraries, from the build's library folder.
        ::unsetenv("DRV_PATH");
        dir_ = std::filesystem::temp_directory_path() /
               ("drvhost_tablet_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string file(const std::string &name, const std::string &content) const {
        const std::filesystem::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    std::string path(const std::string &name) const { return (dir_ / name).string(); }

    static std::string read(const std::string &path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static std::vector<std::string> command(std::vector<std::string> args) {
        args.insert(args.begin(), DRVHOST_EXE);
        return args;
    }
    static ProcessResult drvhost(const std::vector<std::string> &args,
                                 const std::string &input = {}) {
        return runProcess(command(args), input);
    }

    std::filesystem::path dir_;
};

// The reports `model` sends in `format` for `samples`, one after another;
// a sample the format cannot carry fails the test.
inline std::string encodedStream(const std::string &model, int format,
                                 const std::vector<TabletSample> &samples) {
    std::string stream;
    std::vector<std::uint8_t> report;
    for (const TabletSample &sample : samples) {
        EXPECT_TRUE(encodeTabletReport(model, format, sample, report))
            << model << " format " << format << " cannot carry " << sample.button << " at "
            << sample.x << "," << sample.y;
        stream.append(report.begin(), report.end());
    }
    return stream;
}

// The number of lines in `text`.
inline std::size_t lineCount(const std::string &text) {
    std::size_t lines = 0;
    for (const char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

} // namespace drv::test
