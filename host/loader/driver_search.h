// Finding driver libraries: by path, or by name in the library folders.
//
// Folders searched, in order:
//   1. each folder of the DRV_PATH environment variable (colon-separated);
//   2. the build's library folder beside the program (<bin>/../lib);
//   3. the installed library folder (<prefix>/lib/drvsuite, found from the
//      program's own place in <prefix>/bin).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/loader/driver_library.h"

namespace drv::host {

// The folders above, existing or not, without repeats.
std::vector<std::string> driverSearchPath();

// The driver's name as the host uses it: the file name without "lib" and
// the suffix ("/opt/x/libquillane.so" gives "quillane"); a bare name stays.
std::string driverStem(std::string_view nameOrPath);

// Finds and opens the driver `nameOrPath`: a path when it holds a '/',
// otherwise a name looked up in driverSearchPath(). Returns null with a
// message naming the folders tried when it is not found or does not load.
std::unique_ptr<DriverLibrary> openDriver(const std::string &nameOrPath, std::string &error);

enum class DriverKind { Plotter, Digitizer, Unknown };

struct FoundDriver {
    std::string name;
    std::string path;
    DriverKind kind;
};

// Every library in the search path, first found first for each name, with
// the entry point it exports. Libraries that do not load are listed as
// Unknown.
std::vector<FoundDriver> listDrivers();

// "pldbin", "dgdbin" or "?".
std::string_view driverKindName(DriverKind kind);

} // namespace drv::host
