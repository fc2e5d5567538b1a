#include "host/cli/list_command.h"

#include <iomanip>
#include <iostream>

#include "host/loader/driver_search.h"

namespace drv::host {

ListCommand::ListCommand(CLI::App &app)
    : Subcommand(app, "list", "list the driver libraries found") {}

int ListCommand::run() {
    const std::vector<FoundDriver> drivers = listDrivers();
    for (const FoundDriver &driver : drivers) {
        std::cout << std::left << std::setw(12) << driver.name << ' ' << driverKindName(driver.kind)
                  << "  " << driver.path << '\n';
    }
    std::cerr << "drvhost: " << drivers.size() << " driver libraries; searched:";
    for (const std::string &folder : driverSearchPath()) {
        std::cerr << "\n  " << folder;
    }
    std::cerr << '\n';
    return drivers.empty() ? 1 : 0;
}

} // namespace drv::host
