// Every tablet model the suite ships, by library name, for the tests, the
// fuzz targets and the report encoder; the list is model_list.h.
#pragma once

#include <array>
#include <string_view>

// Every digitizers/models/<name>.h of the list, made by the build.
#include "digitizers/models/model_records.h"

namespace drv::digitizer {

struct NamedModel {
    std::string_view name;
    const DigitizerModel *model;
};

inline constexpr std::array kAllModels{
#define DRV_DIGITIZER_MODEL(name, record) NamedModel{#name, &record},
#include "digitizers/models/model_list.h"
#undef DRV_DIGITIZER_MODEL
};

}  // namespace drv::digitizer
