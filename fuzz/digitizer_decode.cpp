// Every tablet model's entry point on arbitrary reports and profiles.
//
// A decode reads the report from a heap block of exactly the host's minimum
// 21 bytes (the sanitizer watches its end) and must leave the request
// either fully written (z = 0) or fully untouched, untouched whenever the
// result is -9; it never changes the profile, and changes the report only
// in the models that open a gap in it, and there only up to offset 13.
// A set-up copies profile texts that may hold no NUL into a block of
// exactly 40 bytes, must end its text there, and may change no profile
// byte but the framing pair.
//
// Input: model index, selector, op, then report or profile-text bytes.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "digitizers/digitizer_entry.h"
#include "digitizers/models/all_models.h"
#include "fuzz/fuzz_check.h"

namespace {

namespace dg = drv::digitizer;

constexpr std::size_t kHeader = 3;
constexpr std::size_t kLastRewritten = 13;

DigitizerRequest sentinelRequest(std::int16_t op) {
    return DigitizerRequest{op, 0x1111, 0x22222222, 0x33333333, 0x44444444};
}

bool sameBytes(const void *a, const void *b, std::size_t n) { return std::memcmp(a, b, n) == 0; }

void checkDecode(const dg::DigitizerModel &model, DigitizerProfile &profile, const std::uint8_t *data,
                 std::size_t size) {
    auto report = std::make_unique<unsigned char[]>(DGD_MIN_REPORT_BUFFER);
    std::copy_n(data, std::min<std::size_t>(size, DGD_MIN_REPORT_BUFFER), report.get());
    unsigned char sent[DGD_MIN_REPORT_BUFFER];
    std::memcpy(sent, report.get(), sizeof sent);
    const DigitizerProfile before = profile;
    DigitizerRequest request = sentinelRequest(DgdOpDecode);
    const DigitizerRequest old = request;

    const std::int32_t status = dg::runDigitizer(model, &profile, &request, report.get());

    FUZZ_CHECK(status == 0 || status == DGD_REJECTED);
    FUZZ_CHECK(request.op == old.op);
    const bool written = request.z == 0;
    FUZZ_CHECK(written || sameBytes(&request, &old, sizeof request));
    FUZZ_CHECK(status == 0 || !written);
    FUZZ_CHECK(sameBytes(&profile, &before, sizeof profile));
    const dg::Format *format = dg::selectedFormat(model, profile);
    const bool mayRewrite = format != nullptr && format->kind == dg::FormatKind::Ascii &&
                            format->ascii.gap.has_value();
    const std::size_t keptFrom = mayRewrite ? kLastRewritten + 1 : 0;
    FUZZ_CHECK(sameBytes(report.get() + keptFrom, sent + keptFrom, sizeof sent - keptFrom));
}

void checkSetup(const dg::DigitizerModel &model, DigitizerProfile &profile, std::int16_t op) {
    auto buffer = std::make_unique<unsigned char[]>(DGD_SETUP_TEXT_SIZE);
    std::memset(buffer.get(), 0xCC, DGD_SETUP_TEXT_SIZE);
    DigitizerProfile before = profile;
    DigitizerRequest request = sentinelRequest(op);
    const DigitizerRequest old = request;

    FUZZ_CHECK(dg::runDigitizer(model, &profile, &request, buffer.get()) == 0);

    FUZZ_CHECK(sameBytes(&request, &old, sizeof request));
    const unsigned char *end = std::find(buffer.get(), buffer.get() + DGD_SETUP_TEXT_SIZE, 0);
    FUZZ_CHECK(end != buffer.get() + DGD_SETUP_TEXT_SIZE);
    if (op != DgdOpSetup) {
        FUZZ_CHECK(buffer[0] == 0 && std::all_of(buffer.get() + 1, buffer.get() + DGD_SETUP_TEXT_SIZE,
                                                 [](unsigned char b) { return b == 0xCC; }));
    }
    before.frameByte = profile.frameByte;
    before.reportLength = profile.reportLength;
    FUZZ_CHECK(sameBytes(&profile, &before, sizeof profile));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < kHeader) {
        return 0;
    }
    const dg::DigitizerModel &model = *dg::kAllModels[data[0] % dg::kAllModels.size()].model;
    const auto selector = static_cast<std::int16_t>(data[1] % 4);  // 1 and 2 valid, 0 and 3 not
    const auto op = static_cast<std::int16_t>(data[2] % 5);        // 1 to 3, and two others
    data += kHeader;
    size -= kHeader;

    // A heap profile of exactly its size; its texts come from the input and
    // need hold no NUL.
    auto profile = std::make_unique<DigitizerProfile>();
    std::memset(profile.get(), 0x5A, sizeof *profile);
    profile->reportFormat = selector;
    profile->auxFormat = selector;

    if (op == DgdOpDecode) {
        checkDecode(model, *profile, data, size);
    } else {
        const std::size_t a = std::min(size, sizeof profile->setupA);
        std::memcpy(profile->setupA, data, a);
        std::memcpy(profile->setupB, data + a, std::min(size - a, sizeof profile->setupB));
        checkSetup(model, *profile, op);
    }
    return 0;
}
