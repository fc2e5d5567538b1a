// A PDF's pages through Poppler, as the filter turns them into drawings.
#include "host/cups/filter/pdf_pages.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "test_pdf.h"

namespace {

namespace fs = std::filesystem;
using drv::cups::pdfPageCount;
using drv::cups::pdfPageToSvg;
using drv::cups::StatusLines;

class PdfPages : public ::testing::Test {
protected:
    void SetUp() override {
        if (::access("/usr/bin/pdftocairo", X_OK) != 0 || ::access("/usr/bin/pdfinfo", X_OK) != 0) {
            GTEST_SKIP() << "no Poppler tools here (Debian package poppler-utils)";
        }
        dir_ = fs::temp_directory_path() / ("drvsuite_pdf_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        statusFile_ = std::tmpfile();
    }
    void TearDown() override {
        if (statusFile_ != nullptr) {
            std::fclose(statusFile_);
        }
        fs::remove_all(dir_);
    }
    std::string write(const std::string &name, const std::string &content) const {
        std::ofstream(dir_ / name, std::ios::binary) << content;
        return (dir_ / name).string();
    }
    static std::string read(const std::string &path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string status() const {
        std::fflush(statusFile_);
        std::rewind(statusFile_);
        std::string text;
        for (int c; (c = std::fgetc(statusFile_)) != EOF;) {
            text += static_cast<char>(c);
        }
        return text;
    }
    fs::path dir_;
    std::FILE *statusFile_ = nullptr;
    volatile std::sig_atomic_t terminate_ = 0;
};

TEST_F(PdfPages, EachPageBecomesAnSvgOfItsOwn) {
    const std::string pdf = write("two.pdf", drv::test::makePdf({"1 0 0 RG 2 w 100 100 m 400 700 l S",
                                                                "0 0 1 RG 50 50 200 100 re S"}));
    StatusLines lines(statusFile_);
    ASSERT_EQ(pdfPageCount(pdf, lines, terminate_), 2) << status();
    const std::string second = (dir_ / "two-2.svg").string();
    ASSERT_TRUE(pdfPageToSvg(pdf, 2, second, lines, terminate_)) << status();
    const std::string svg = read(second);
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_EQ(svg.find("<pageSet"), std::string::npos) << "one page, not a page set";
    EXPECT_NE(svg.find("M 50 50 L 250 50 L 250 150 L 50 150 Z"), std::string::npos) << svg;
    EXPECT_EQ(svg.find("M 100 100 L 400 700"), std::string::npos) << "page 1 leaked into page 2";
}

TEST_F(PdfPages, ADamagedPdfIsReported) {
    const std::string pdf = write("bad.pdf", "%PDF-1.4\nnot really\n");
    StatusLines lines(statusFile_);
    EXPECT_EQ(pdfPageCount(pdf, lines, terminate_), 0);
    EXPECT_NE(status().find("ERROR: "), std::string::npos) << status();
}

} // namespace
