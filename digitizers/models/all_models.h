// Every tablet model the suite ships, by library name, for the tests and the
// host tool. The build makes one library per entry of the same list.
#pragma once

#include <array>
#include <string_view>

#include "models/ambrel.h"
#include "models/belvane.h"
#include "models/corvish.h"
#include "models/dastrel.h"
#include "models/elmoray.h"
#include "models/fennick.h"
#include "models/galvorn.h"
#include "models/halvesk.h"
#include "models/istrane.h"
#include "models/jorvel.h"
#include "models/kestavin.h"
#include "models/lunmore.h"
#include "models/marvask.h"
#include "models/nolvery.h"
#include "models/ostrevan.h"
#include "models/pellick.h"
#include "models/quistral.h"
#include "models/rondavin.h"
#include "models/sorvane.h"
#include "models/tavrel.h"
#include "models/ulmestra.h"
#include "models/varnock.h"
#include "models/wendral.h"
#include "models/yarvish.h"
#include "models/zolmar.h"
#include "models/abbrinet.h"

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
