// drvsuite-plot: the CUPS filter that turns a plot document into the
// device bytes of the queue's plotter driver, by running drvhost plot with
// the driver the queue's PPD names and the job's options.
//
//   drvsuite-plot JOB USER TITLE COPIES OPTIONS [FILE]
//
// The document comes as FILE or on standard input, its type in
// $CONTENT_TYPE; the bytes go to standard output. Each copy is a job of
// its own, and so is each page of a PDF document (one sheet each). On a
// cancel (SIGTERM) drvhost finishes the request in flight and sends the
// job's end; no further sheet starts.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "host/cups/filter/tool_runner.h"
#include "host/cups/filter/job_settings.h"
#include "host/cups/filter/pdf_pages.h"
#include "host/cups/filter/ppd_settings.h"
#include "host/cups/status_lines.h"

namespace {

namespace fs = std::filesystem;
using namespace drv::cups;

volatile std::sig_atomic_t terminateRequested = 0;

void onTerminate(int) {
    terminateRequested = 1;
}

const char *environment(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The document under the job's title, so that drvhost's messages name the
// file the user printed ("drawing.plt:3:7: ...") and nothing beside it can
// be reached through a relative path.
std::string documentName(const char *title) {
    std::string name = fs::path(title).filename().string();
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '/' || c == '\\'; }, '_');
    if (name.empty() || name == "." || name == "..") {
        name = "job";
    }
    return name.substr(0, 120);
}

// A private folder in $TMPDIR, removed with the object.
class WorkFolder {
public:
    bool make(std::string &error) {
        std::string pattern =
            (fs::path(*environment("TMPDIR") != '\0' ? environment("TMPDIR") : "/tmp") /
             "drvsuite-plot-XXXXXX")
                .string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            error = "cannot make a work folder in " + pattern + ": " + std::strerror(errno);
            return false;
        }
        path_ = pattern;
        return true;
    }
    ~WorkFolder() {
        if (!path_.empty()) {
            std::error_code ec;
            fs::remove_all(path_, ec);
        }
    }
    const fs::path &path() const { return path_; }

private:
    fs::path path_;
};

// The document as a file in `folder`: the spooler's file linked, or
// standard input copied.
bool placeDocument(int argc, char **argv, const fs::path &folder, std::string &path,
                   std::string &error) {
    path = (folder / documentName(argv[3])).string();
    std::error_code ec;
    if (argc == 7) {
        fs::create_symlink(fs::absolute(argv[6], ec), path, ec);
        if (ec) {
            error = "cannot link " + std::string(argv[6]) + ": " + ec.message();
            return false;
        }
        return true;
    }
    std::ofstream out(path, std::ios::binary);
    if (std::cin.peek() != std::char_traits<char>::eof()) {
        out << std::cin.rdbuf(); // an empty stream would set the fail bit
    }
    out.close();
    if (!out) {
        error = "cannot copy the document to " + path;
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    std::signal(SIGPIPE, SIG_IGN);
    StatusLines status(stderr);
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n", argv[0]);
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);

    const std::string contentType = environment("CONTENT_TYPE");
    const std::optional<InputKind> kind = inputKindOf(contentType);
    if (!kind) {
        status.error("drvsuite-plot: documents of type " + contentType + " cannot be plotted");
        return 1;
    }
    JobSettings settings;
    std::string error;
    if (!resolveJobSettings(environment("PPD"), argv[5], environment("FINAL_CONTENT_TYPE"),
                            settings, error)) {
        status.error("drvsuite-plot: " + error);
        return 1;
    }
    settings.copies = std::max(1, std::atoi(argv[4]));
    const std::string drvhost = findDrvhost();
    if (drvhost.empty()) {
        status.error("drvsuite-plot: no drvhost beside the filter (PREFIX/bin/drvhost)");
        return 1;
    }
    WorkFolder folder;
    std::string document;
    if (!folder.make(error) || !placeDocument(argc, argv, folder.path(), document, error)) {
        status.error("drvsuite-plot: " + error);
        return 1;
    }
    // What is plotted, one sheet each: the document, or a PDF's pages.
    std::vector<std::string> sheets{document};
    InputKind sheetKind = *kind;
    if (*kind == InputKind::Pdf) {
        const int pages = pdfPageCount(document, status, terminateRequested);
        if (pages == 0) {
            return 1;
        }
        sheets.clear();
        sheetKind = InputKind::Svg;
        for (int page = 1; page <= pages && terminateRequested == 0; ++page) {
            sheets.push_back(document + "-page" + std::to_string(page) + ".svg");
            if (!pdfPageToSvg(document, page, sheets.back(), status, terminateRequested)) {
                return 1;
            }
        }
    }
    int plotted = 0;
    for (int copy = 1; copy <= settings.copies; ++copy) {
        for (const std::string &sheet : sheets) {
            if (terminateRequested != 0) {
                return 0;
            }
            std::vector<std::string> command{"plot"};
            const std::vector<std::string> args = drvhostPlotArguments(settings, sheetKind, sheet);
            command.insert(command.end(), args.begin(), args.end());
            if (runTool(drvhost, command, status, terminateRequested) != 0) {
                return 1;
            }
            std::fprintf(stderr, "PAGE: %d 1\n", ++plotted);
        }
    }
    return 0;
}
