// What every end-to-end test of drvhost has: a folder of its own for the
// files it makes, and the binary (DRVHOST_EXE) run to its end.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/host/run_process.h"

namespace drv::test {

class DrvhostTest : public ::testing::Test {
protected:
    // Makes the test's empty folder, named `prefix`, the process and the test.
    void makeFolder(const std::string &prefix) {
        dir_ = std::filesystem::temp_directory_path() /
               (prefix + std::to_string(::getpid()) + "_" +
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

    // drvhost's command line for `args`.
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

} // namespace drv::test
