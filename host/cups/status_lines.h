// What a CUPS backend tells the spooler: one line on standard error per
// message, a keyword first.
//
//   INFO: text           becomes the queue's state message (lpstat -p)
//   STATE: +reason       adds a printer-state-reason (-reason removes it)
//   ATTR: name='value'   sets a printer or job attribute
//   ERROR: / WARNING: / DEBUG: text   go to the job's log at that level
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace drv::cups {

// "512 bytes", "12.3 kB", "1.2 MB" (decimal units, as transfer sizes are
// usually given).
std::string byteCount(std::uint64_t bytes);

class StatusLines {
public:
    explicit StatusLines(std::FILE *out) : out_(out) {}

    void info(std::string_view text) { line("INFO", text); }
    void error(std::string_view text) { line("ERROR", text); }
    void warning(std::string_view text) { line("WARNING", text); }
    void debug(std::string_view text) { line("DEBUG", text); }
    // Adds (`on`) or removes a printer-state-reason keyword.
    void state(std::string_view reason, bool on);
    // name='value', the value quoted so that spaces and quotes survive the
    // spooler's option parser.
    void attribute(std::string_view name, std::string_view value);

private:
    // Writes "KEY: text\n" with any line break in the text turned into a
    // space, so that one message never reads as two.
    void line(std::string_view key, std::string_view text);
    std::FILE *out_;
};

} // namespace drv::cups
