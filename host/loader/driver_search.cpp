#include "host/loader/driver_search.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace drv::host {
namespace {

namespace fs = std::filesystem;

// Where the program runs from, or empty when the system does not tell.
fs::path programFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self.parent_path();
}

} // namespace

std::vector<std::string> driverSearchPath() {
    std::vector<std::string> folders;
    const auto add = [&folders](const fs::path &folder) {
        const std::string text = folder.lexically_normal().string();
        if (!text.empty() && std::find(folders.begin(), folders.end(), text) == folders.end()) {
            folders.push_back(text);
        }
    };
    if (const char *env = std::getenv("DRV_PATH")) {
        std::string_view list(env);
        while (!list.empty()) {
            const std::size_t colon = std::min(list.find(':'), list.size());
            add(fs::path(list.substr(0, colon)));
            list.remove_prefix(std::min(colon + 1, list.size()));
        }
    }
    const fs::path bin = programFolder();
    if (!bin.empty()) {
        add(bin / ".." / "lib");
        add(bin / ".." / DRV_INSTALL_LIBDIR / "drvsuite");
    }
    return folders;
}

std::string driverStem(std::string_view nameOrPath) {
    const std::string pattern = driverFileName("@"); // "lib@.so" or "@.dll"
    const std::size_t at = pattern.find('@');
    const std::string_view prefix = std::string_view(pattern).substr(0, at);
    const std::string_view suffix = std::string_view(pattern).substr(at + 1);
    const std::string file = fs::path(nameOrPath).filename().string();
    const std::string_view stem(file);
    if (stem.size() > prefix.size() + suffix.size() && stem.starts_with(prefix) &&
        stem.ends_with(suffix)) {
        return std::string(stem.substr(prefix.size(), stem.size() - prefix.size() - suffix.size()));
    }
    return file;
}

std::unique_ptr<DriverLibrary> openDriver(const std::string &nameOrPath, std::string &error) {
    if (nameOrPath.find('/') != std::string::npos) {
        return DriverLibrary::open(nameOrPath, error); // the reason names the file
    }
    const std::string file = driverFileName(nameOrPath);
    std::string tried;
    for (const std::string &folder : driverSearchPath()) {
        const fs::path candidate = fs::path(folder) / file;
        std::error_code ec;
        if (fs::exists(candidate, ec)) {
            return DriverLibrary::open(candidate.string(), error);
        }
        tried += "\n  " + folder;
    }
    error = "no driver '" + nameOrPath + "' (" + file +
            ") in:" + (tried.empty() ? std::string(" no folder (set DRV_PATH)") : tried);
    return nullptr;
}

std::vector<FoundDriver> listDrivers() {
    std::vector<FoundDriver> found;
    const std::string suffix = fs::path(driverFileName("x")).extension().string();
    // A driver file is named like driverFileName() makes it; other files of
    // the folder are not drivers.
    for (const std::string &folder : driverSearchPath()) {
        std::error_code ec;
        std::vector<fs::path> files;
        for (const fs::directory_entry &entry : fs::directory_iterator(folder, ec)) {
            if (entry.path().extension() == suffix) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const fs::path &file : files) {
            const std::string name = driverStem(file.string());
            if (name == file.filename().string() ||
                std::any_of(found.begin(), found.end(),
                            [&](const FoundDriver &d) { return d.name == name; })) {
                continue;
            }
            std::string error;
            const auto library = DriverLibrary::open(file.string(), error);
            DriverKind kind = DriverKind::Unknown;
            if (library && library->pldbin() != nullptr) {
                kind = DriverKind::Plotter;
            } else if (library && library->dgdbin() != nullptr) {
                kind = DriverKind::Digitizer;
            }
            found.push_back({name, file.string(), kind});
        }
    }
    return found;
}

std::string_view driverKindName(DriverKind kind) {
    switch (kind) {
    case DriverKind::Plotter:
        return "pldbin";
    case DriverKind::Digitizer:
        return "dgdbin";
    case DriverKind::Unknown:
        break;
    }
    return "?";
}

} // namespace drv::host
