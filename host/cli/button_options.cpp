#include "host/cli/button_options.h"

#include "host/script/script_values.h"

namespace drv::host {
namespace {

std::string nameList(std::span<const std::string_view> names) {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + std::string(names[i]);
    }
    return list;
}

} // namespace

bool parseButtonAssignments(std::string_view text, std::span<const std::string_view> names,
                            std::map<std::int16_t, std::size_t> &codes, std::string &error) {
    codes.clear();
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        const std::size_t equals = item.find('=');
        const std::string_view name = item.substr(0, equals);
        std::size_t index = 0;
        while (index < names.size() && names[index] != name) {
            ++index;
        }
        if (equals == std::string_view::npos || index == names.size()) {
            error = "--buttons: '" + std::string(item) + "' is not NAME=CODE with NAME " +
                    nameList(names);
            return false;
        }
        std::int32_t code = 0;
        ValueError valueError;
        if (!parseInteger(item.substr(equals + 1), -32768, 32767, code, valueError)) {
            error = "--buttons: " + std::string(name) + ": " + valueError.message;
            return false;
        }
        if (code == 0) {
            error = "--buttons: " + std::string(name) + "=0: 0 is the code of no button";
            return false;
        }
        if (!codes.emplace(static_cast<std::int16_t>(code), index).second) {
            error = "--buttons: code " + std::to_string(code) + " is given to two actions";
            return false;
        }
    }
    return true;
}

} // namespace drv::host
