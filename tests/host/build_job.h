// Plot scripts made into checked jobs for the tests, with pictures made in
// memory instead of read from files.
#pragma once

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "host/script/script_job.h"

namespace drv::test {

// The head of a job either driver takes whole: the page and pens quillane
// reads; drevant's framing is the default one.
inline constexpr std::string_view kJobHead = "BeginJob page_width=16000 page_height=11000 pens=8\n";

// Pictures for Image lines, without a file system: "two.png" is 3 x 2
// pixels, white with a black diagonal; any other name fails to load.
inline bool fakePicture(const std::string &path, host::RgbImage &image, std::string &error) {
    if (path != "pics/two.png") {
        error = "no such picture";
        return false;
    }
    image.width = 3;
    image.height = 2;
    image.pixels.assign(3 * 2 * 3, 0xFF);
    for (std::size_t i : {std::size_t{0}, std::size_t{4}}) {
        std::memset(&image.pixels[i * 3], 0, 3);
    }
    return true;
}

// The script's job for `driver`, with its errors (the script must parse).
inline std::vector<host::PlotCall> build(const std::string &source, std::string_view driver,
                                         std::vector<host::SourceError> &errors,
                                         const host::CheckOptions &options = {}) {
    const std::vector<host::ScriptStatement> statements = host::parseScript(source, errors);
    EXPECT_TRUE(errors.empty()) << errors[0].message;
    return host::buildPlotJob(statements, host::plotterTraits(driver), "pics", fakePicture,
                              errors, options);
}

// The job of a script that must pass.
inline std::vector<host::PlotCall> buildOk(const std::string &source,
                                           std::string_view driver = "quillane") {
    std::vector<host::SourceError> errors;
    std::vector<host::PlotCall> job = build(source, driver, errors);
    for (const host::SourceError &e : errors) {
        ADD_FAILURE() << host::formatSourceError("job", e);
    }
    return job;
}

} // namespace drv::test
