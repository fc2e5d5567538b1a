// Reading a tablet: its byte stream from a descriptor into a TabletStream,
// until the input ends, the stream has the reports it was limited to, or
// the person stops the program.
//
// Each report is decoded, and handed to the stream's callback, as soon as
// its last byte is read. A quiet line completes a pending binary report
// whose framing lets it run one byte past the declared length.
#pragma once

#include <string>

#include "host/tablet/tablet_stream.h"

namespace drv::host {

// How long the line must be quiet before a pending binary report is taken
// as complete: many byte times even at 1200 baud, short for a person.
constexpr int kTabletIdleMilliseconds = 50;

// From now on SIGINT and SIGTERM end the reading instead of the program, so
// that the program still finishes its work (a summary, a file). Handlers are
// installed without SA_RESTART, so that a blocking read returns.
void stopReadingOnSignals();

// Whether one of those signals came.
bool stopRequested();

struct TabletReadEnd {
    enum class Why { EndOfInput, Full, Stopped, Failed };
    Why why = Why::EndOfInput;
    std::string error; // the system's reason, when Failed
};

// Reads `fd` into `stream`. The end of a file, and a serial line or
// pseudo-terminal whose other end hung up, are the end of input. Does not
// call stream.finish().
TabletReadEnd readTablet(int fd, TabletStream &stream);

} // namespace drv::host
