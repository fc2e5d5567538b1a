// Opens a driver library of this build the way a host does, by the file
// name the platform gives it in the build's library folder.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "host/loader/driver_library.h"

#ifndef DRV_LIBRARY_DIR
#error "test programs get DRV_LIBRARY_DIR from drv_add_test"
#endif

namespace drv::test {

inline std::unique_ptr<DriverLibrary> openBuiltDriver(std::string_view name, std::string &error) {
    return DriverLibrary::open(std::string(DRV_LIBRARY_DIR "/") + driverFileName(name), error);
}

}  // namespace drv::test
