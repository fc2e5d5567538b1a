// Loads a driver library at run time and finds its entry point.
//
// Used by the host tool and by the tests, which drive the shipped libraries
// exactly as a host does. POSIX builds use dlopen, Windows builds
// LoadLibrary; a library is closed when its DriverLibrary goes away.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "drvsuite/digitizer.h"
#include "drvsuite/plotter.h"

namespace drv {

class DriverLibrary {
public:
    // Opens the library at `path`. On failure returns null and puts the
    // system's reason into `error`.
    static std::unique_ptr<DriverLibrary> open(const std::string &path, std::string &error);

    ~DriverLibrary();
    DriverLibrary(const DriverLibrary &) = delete;
    DriverLibrary &operator=(const DriverLibrary &) = delete;

    // The entry points, or null when the library does not export them.
    PldbinFunction pldbin() const;
    DgdbinFunction dgdbin() const;

    const std::string &path() const { return path_; }

private:
    DriverLibrary(void *handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    void *symbol(const char *name) const;

    void *handle_;
    std::string path_;
};

// The file name a driver called `name` has on this platform:
// "lib<name>.so" on Linux, "<name>.dll" on Windows.
std::string driverFileName(std::string_view name);

}  // namespace drv
