// SIGINT, SIGTERM and SIGHUP caught for as long as a guard lives, so that a
// job stops where it can stop cleanly instead of where the signal hit.
//
// The handlers only count: the first signal asks the job to stop at the end
// of the request in flight (and a device's job to be ended properly), a
// second one, a second or more later, to give up at once; signals closer
// together are one request (a spooler's cancel arrives through the process
// group and from the parent alike). They are installed without SA_RESTART,
// so a blocking call returns and the count is looked at.
#pragma once

namespace drv::host {

class StopSignals {
public:
    StopSignals();
    ~StopSignals(); // puts the earlier handlers back
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // Signals caught since the guard was made.
    static int count();
    // The last signal caught, or 0.
    static int last();
    // Its name: "SIGINT", "SIGTERM" or "SIGHUP"; "" for none.
    static const char *lastName();
};

} // namespace drv::host
