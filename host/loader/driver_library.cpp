#include "host/loader/driver_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace drv {

#if defined(_WIN32)

std::unique_ptr<DriverLibrary> DriverLibrary::open(const std::string &path, std::string &error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        error = "cannot load library (Windows error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    return std::unique_ptr<DriverLibrary>(new DriverLibrary(reinterpret_cast<void *>(module), path));
}

DriverLibrary::~DriverLibrary() { FreeLibrary(reinterpret_cast<HMODULE>(handle_)); }

void *DriverLibrary::symbol(const char *name) const {
    return reinterpret_cast<void *>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
}

std::string driverFileName(std::string_view name) { return std::string(name) + ".dll"; }

#else

std::unique_ptr<DriverLibrary> DriverLibrary::open(const std::string &path, std::string &error) {
    // RTLD_LOCAL keeps two loaded drivers from resolving each other's entry.
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char *reason = dlerror();
        error = reason != nullptr ? reason : "cannot load library";
        return nullptr;
    }
    return std::unique_ptr<DriverLibrary>(new DriverLibrary(handle, path));
}

DriverLibrary::~DriverLibrary() { dlclose(handle_); }

void *DriverLibrary::symbol(const char *name) const { return dlsym(handle_, name); }

std::string driverFileName(std::string_view name) { return "lib" + std::string(name) + ".so"; }

#endif

PldbinFunction DriverLibrary::pldbin() const {
    return reinterpret_cast<PldbinFunction>(symbol("pldbin"));
}

DgdbinFunction DriverLibrary::dgdbin() const {
    return reinterpret_cast<DgdbinFunction>(symbol("dgdbin"));
}

}  // namespace drv
