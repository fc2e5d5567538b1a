// Every tablet model the suite ships, in the suite's order: the library's
// name and the model's record, defined in digitizers/models/<name>.h. This
// is the one list of models: the build makes one library per line and a
// header including every record (digitizers/CMakeLists.txt reads the lines
// below), and code that takes every model expands the list with its own
// DRV_DIGITIZER_MODEL(name, record), as all_models.h does.
//
// A new model is its record file and one line here, one line per model.
// No include guard: every expansion includes the list anew.
#ifndef DRV_DIGITIZER_MODEL
#error "define DRV_DIGITIZER_MODEL(name, record) before including the model list"
#endif

DRV_DIGITIZER_MODEL(ambrel, kAmbrel)
DRV_DIGITIZER_MODEL(belvane, kBelvane)
DRV_DIGITIZER_MODEL(corvish, kCorvish)
DRV_DIGITIZER_MODEL(dastrel, kDastrel)
DRV_DIGITIZER_MODEL(elmoray, kElmoray)
DRV_DIGITIZER_MODEL(fennick, kFennick)
DRV_DIGITIZER_MODEL(galvorn, kGalvorn)
DRV_DIGITIZER_MODEL(halvesk, kHalvesk)
DRV_DIGITIZER_MODEL(istrane, kIstrane)
DRV_DIGITIZER_MODEL(jorvel, kJorvel)
DRV_DIGITIZER_MODEL(kestavin, kKestavin)
DRV_DIGITIZER_MODEL(lunmore, kLunmore)
DRV_DIGITIZER_MODEL(marvask, kMarvask)
DRV_DIGITIZER_MODEL(nolvery, kNolvery)
DRV_DIGITIZER_MODEL(ostrevan, kOstrevan)
DRV_DIGITIZER_MODEL(pellick, kPellick)
DRV_DIGITIZER_MODEL(quistral, kQuistral)
DRV_DIGITIZER_MODEL(rondavin, kRondavin)
DRV_DIGITIZER_MODEL(sorvane, kSorvane)
DRV_DIGITIZER_MODEL(tavrel, kTavrel)
DRV_DIGITIZER_MODEL(ulmestra, kUlmestra)
DRV_DIGITIZER_MODEL(varnock, kVarnock)
DRV_DIGITIZER_MODEL(wendral, kWendral)
DRV_DIGITIZER_MODEL(yarvish, kYarvish)
DRV_DIGITIZER_MODEL(zolmar, kZolmar)
DRV_DIGITIZER_MODEL(abbrinet, kAbbrinet)
