#include "host/cups/filter/pdf_pages.h"

#include <cstdlib>
#include <sstream>

#include "host/cups/filter/tool_runner.h"

namespace drv::cups {

int pdfPageCount(const std::string &pdf, StatusLines &status,
                 const volatile std::sig_atomic_t &terminate) {
    std::string info;
    if (runTool("pdfinfo", {pdf}, status, terminate, &info) != 0) {
        return 0;
    }
    std::istringstream lines(info);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Pages:", 0) == 0) {
            const int pages = std::atoi(line.c_str() + 6);
            if (pages > 0) {
                return pages;
            }
        }
    }
    status.error("drvsuite-plot: the PDF document has no pages");
    return 0;
}

bool pdfPageToSvg(const std::string &pdf, int page, const std::string &svg, StatusLines &status,
                  const volatile std::sig_atomic_t &terminate) {
    const std::string number = std::to_string(page);
    return runTool("pdftocairo", {"-svg", "-f", number, "-l", number, pdf, svg}, status,
                   terminate) == 0;
}

} // namespace drv::cups
