// What every tablet model must do, written down apart from the model
// records, and checks that run any dgdbin-shaped entry against it: the
// shared code with a model's record, or the shipped library itself.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "digitizers/decoded_report.h"
#include "digitizers/digitizer_model.h"
#include "drvsuite/digitizer.h"

namespace drv::digitizer::test {

using Entry = std::function<std::int32_t(DigitizerProfile *, DigitizerRequest *, unsigned char *)>;

// The shared code serving `model` (a name from kAllModels).
Entry sharedEntry(std::string_view model);
const DigitizerModel &modelNamed(std::string_view model);

// Where a format's set-up text comes from, as the tablet needs it.
enum class Text { A, B, Empty, Fixed };

// Expected set-up of one format; a frame byte or length of -1 means the
// model leaves the profile's bytes as they were.
struct SetupExpect {
    Text text;
    int frameByte;
    int reportLength;
};

struct SetupRow {
    int line;
    std::string_view model;
    bool singleFormat;  // format 1 whatever the selectors hold
    SetupExpect format1;
    SetupExpect format2;
};

std::span<const SetupRow> setupRows();

// Op 1 with selectors 1, 2 and invalid values; checks buffer text,
// framing bytes and that no other profile byte changes.
void checkSetup(const Entry &entry, const SetupRow &row);

// Ops other than 1 and 3 clear the buffer's first byte and nothing else.
void checkOtherOps(const Entry &entry);

struct DecodeCase {
    int line;
    std::string_view model;
    std::int16_t selector;  // stored into both reportFormat and auxFormat
    std::vector<unsigned char> report;
    std::int32_t status;
    std::optional<Reading> reading;  // empty: the request must keep its values
};

std::span<const DecodeCase> decodeCases();

// Op 3 over `c.report` in a heap buffer of exactly max(21, size) bytes.
void checkDecode(const Entry &entry, const DecodeCase &c);

// Runs op 3 over `report` (padded to the host's minimum buffer) with both
// selectors set to `format`; stores the call's result into `status`.
DigitizerRequest decodeWith(const Entry &entry, int format, std::vector<unsigned char> report,
                            std::int32_t &status);

// A request whose result fields hold values no decoder produces together.
DigitizerRequest sentinelRequest();

}  // namespace drv::digitizer::test
