#include "host/cli/preview_output.h"

#include <cstdio>
#include <variant>

#include "host/io/byte_sink.h"
#include "host/loader/driver_search.h"
#include "host/preview/render.h"
#include "host/script/script_parser.h"

namespace drv::host {

bool writePreview(const decode::Drawing &drawing, const PreviewFile &file, std::string &error) {
    const std::optional<preview::Format> format = preview::formatForPath(file.path);
    if (!format) {
        error = file.path + ": a preview is .svg, .png or .pdf";
        return false;
    }
    std::vector<std::uint8_t> bytes;
    std::size_t pages = 0;
    const bool rendered = preview::renderPreview(drawing, {*format, file.dpi, file.page}, bytes, pages, error);
    preview::releaseRenderingCaches();
    if (!rendered) {
        error = file.path + ": " + error;
        return false;
    }
    const std::unique_ptr<ByteSink> sink = openByteSink({file.path, std::nullopt}, error);
    if (!sink || !sink->write(bytes.data(), bytes.size(), error) || !sink->commit(error)) {
        return false;
    }
    if (pages > 1 && (*format != preview::Format::Pdf || file.page != 0)) {
        std::fprintf(stderr, "drvhost: %s shows page %zu of %zu (--sheet N for another; a PDF holds all)\n",
                     file.path.c_str(), file.page == 0 ? std::size_t{1} : file.page, pages);
    }
    return true;
}

bool scriptDeviceLanguage(std::string_view driver, std::string_view script,
                          std::optional<decode::Language> &language, decode::PciFramingOptions &framing) {
    const std::string stem = driverStem(std::string(driver));
    if (stem == "quillane") {
        language = decode::Language::Hpgl2;
        return true;
    }
    if (stem != "drevant") {
        return false;
    }
    language = decode::Language::Pci;
    std::vector<SourceError> errors;
    for (const ScriptStatement &statement : parseScript(script, errors)) {
        const auto *call = std::get_if<PlotCall>(&statement);
        if (call != nullptr && call->request.op == OpBeginJob) {
            // The driver takes the low byte of each framing cell.
            const auto low = [&](int cell) { return call->request.param[cell].i & 0xFF; };
            framing.bias = low(5);
            framing.radix = low(6);
            framing.syncCount = low(7);
            framing.syncChar = low(8);
            framing.terminator = low(9);
            framing.checksum = low(10) != 0;
            break;
        }
    }
    return true;
}

std::size_t reportProblems(const std::string &name, const decode::Drawing &drawing) {
    for (const decode::Problem &p : drawing.problems) {
        std::fprintf(stderr, "%s: offset %zu", name.c_str(), p.offset);
        if (p.record > 0) {
            std::fprintf(stderr, ", record %zu", p.record);
        }
        std::fprintf(stderr, ": %s\n", p.message.c_str());
    }
    return drawing.problems.size();
}

bool previewPlottedBytes(std::string_view driver, std::string_view script, const std::string &name,
                         const std::vector<std::uint8_t> &bytes, const PreviewFile &file,
                         std::size_t &problems, std::string &error) {
    std::optional<decode::Language> language;
    decode::PciFramingOptions framing;
    scriptDeviceLanguage(driver, script, language, framing);
    const decode::Drawing drawing = decode::decodeDevice(bytes, language, framing);
    problems = reportProblems(name, drawing);
    return writePreview(drawing, file, error);
}

} // namespace drv::host
