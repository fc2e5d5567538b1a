// Every tablet model the suite ships, by library name, for the tests and the
// host tool. The build makes one library per entry of the same list.
#pragma once

#include <array>
#include <string_view>

#include "digitizers/models/abbrinet.h"
#include "digitizers/models/ambrel.h"
#include "digitizers/models/belvane.h"
#include "digitizers/models/corvish.h"
#include "digitizers/models/dastrel.h"
#include "digitizers/models/elmoray.h"
#include "digitizers/models/fennick.h"
#include "digitizers/models/galvorn.h"
#include "digitizers/models/halvesk.h"
#include "digitizers/models/istrane.h"
#include "digitizers/models/jorvel.h"
#include "digitizers/models/kestavin.h"
#include "digitizers/models/lunmore.h"
#include "digitizers/models/marvask.h"
#include "digitizers/models/nolvery.h"
#include "digitizers/models/ostrevan.h"
#include "digitizers/models/pellick.h"
#include "digitizers/models/quistral.h"
#include "digitizers/models/rondavin.h"
#include "digitizers/models/sorvane.h"
#include "digitizers/models/tavrel.h"
#include "digitizers/models/ulmestra.h"
#include "digitizers/models/varnock.h"
#include "digitizers/models/wendral.h"
#include "digitizers/models/yarvish.h"
#include "digitizers/models/zolmar.h"

namespace drv::digitizer {

struct NamedModel {
    std::string_view name;
    const DigitizerModel *model;
};

inline constexpr std::array<NamedModel, 26> kAllModels{{
    {"ambrel", &kAmbrel},
    {"belvane", &kBelvane},
    {"corvish", &kCorvish},
    {"dastrel", &kDastrel},
    {"elmoray", &kElmoray},
    {"fennick", &kFennick},
    {"galvorn", &kGalvorn},
    {"halvesk", &kHalvesk},
    {"istrane", &kIstrane},
    {"jorvel", &kJorvel},
    {"kestavin", &kKestavin},
    {"lunmore", &kLunmore},
    {"marvask", &kMarvask},
    {"nolvery", &kNolvery},
    {"ostrevan", &kOstrevan},
    {"pellick", &kPellick},
    {"quistral", &kQuistral},
    {"rondavin", &kRondavin},
    {"sorvane", &kSorvane},
    {"tavrel", &kTavrel},
    {"ulmestra", &kUlmestra},
    {"varnock", &kVarnock},
    {"wendral", &kWendral},
    {"yarvish", &kYarvish},
    {"zolmar", &kZolmar},
    {"abbrinet", &kAbbrinet},
}};

}  // namespace drv::digitizer
