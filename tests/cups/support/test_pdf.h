// Small PDF documents made in the test, one content stream a page, with a
// standard font for text, so that no file has to be shipped.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace drv::test {

// A PDF whose pages (A4) draw the given content streams, e.g.
// "1 0 0 RG 2 w 100 100 m 400 700 l S".
inline std::string makePdf(const std::vector<std::string> &pages) {
    std::vector<std::string> objects{"<< /Type /Catalog /Pages 2 0 R >>"};
    std::string kids;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        kids += std::to_string(3 + 2 * i) + " 0 R ";
    }
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " +
                      std::to_string(pages.size()) + " >>");
    const std::string font = std::to_string(3 + 2 * pages.size()) + " 0 R";
    for (std::size_t i = 0; i < pages.size(); ++i) {
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents " +
                          std::to_string(4 + 2 * i) + " 0 R /Resources << /Font << /F1 " + font +
                          " >> >> >>");
        objects.push_back("<< /Length " + std::to_string(pages[i].size()) + " >>\nstream\n" +
                          pages[i] + "\nendstream");
    }
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t n = 0; n < objects.size(); ++n) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(n + 1) + " 0 obj\n" + objects[n] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

} // namespace drv::test
