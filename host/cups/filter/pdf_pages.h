// PDF documents, the format every application's print dialog produces,
// through Poppler's command-line tools: each page becomes an SVG drawing
// (Poppler's Cairo output draws text as glyph outlines, which a pen plotter
// can draw), and each is plotted as a sheet of its own.
#pragma once

#include <csignal>
#include <string>

#include "host/cups/status_lines.h"

namespace drv::cups {

// The number of pages of `pdf` (pdfinfo), or 0 with the reason given on
// `status` when it cannot be read.
int pdfPageCount(const std::string &pdf, StatusLines &status,
                 const volatile std::sig_atomic_t &terminate);

// Writes page `page` (from 1) of `pdf` to `svg` (pdftocairo -svg).
bool pdfPageToSvg(const std::string &pdf, int page, const std::string &svg, StatusLines &status,
                  const volatile std::sig_atomic_t &terminate);

} // namespace drv::cups
