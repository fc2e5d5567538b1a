// The shared digitizer code run with each model's record.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "digitizers/ascii_decoder.h"
#include "digitizers/digitizer_entry.h"
#include "digitizers/models/all_models.h"
#include "tests/digitizers/digitizer_cases.h"

namespace drv::digitizer::test {
namespace {

TEST(DigitizerSetup, EveryModelWritesItsTextAndFraming) {
    for (const SetupRow &row : setupRows()) {
        checkSetup(sharedEntry(row.model), row);
    }
}

TEST(DigitizerSetup, EveryModelHasASetupRow) {
    ASSERT_EQ(setupRows().size(), kAllModels.size());
    for (std::size_t i = 0; i < kAllModels.size(); ++i) {
        EXPECT_EQ(setupRows()[i].model, kAllModels[i].name);
    }
}

TEST(DigitizerOps, OtherOpsOnlyClearTheFirstByte) {
    for (const NamedModel &m : kAllModels) {
        SCOPED_TRACE(std::string(m.name));
        checkOtherOps(sharedEntry(m.name));
    }
}

TEST(DigitizerDecode, ReportVectors) {
    for (const DecodeCase &c : decodeCases()) {
        checkDecode(sharedEntry(c.model), c);
    }
}

// A profile text with no NUL in its 40 bytes is cut at 39 characters: the
// driver never reads the next profile field.
TEST(DigitizerSetup, TextWithoutNulIsCutAt39) {
    struct Case {
        int line;
        std::size_t textLength;  // characters before the NUL; 40 = no NUL at all
        std::size_t expectedLength;
    };
    const Case cases[] = {{__LINE__, 0, 0}, {__LINE__, 38, 38}, {__LINE__, 39, 39}, {__LINE__, 40, 39}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        DigitizerProfile profile{};
        profile.reportFormat = 1;
        std::memset(profile.setupB, 'b', sizeof profile.setupB);
        if (c.textLength < sizeof profile.setupB) {
            profile.setupB[c.textLength] = '\0';
        }
        profile.frameByte = 'X';  // the byte right after setupB
        DigitizerRequest request{DgdOpSetup, 0, 0, 0, 0};
        unsigned char buffer[64];
        std::memset(buffer, 0xCC, sizeof buffer);
        EXPECT_EQ(runDigitizer(kAmbrel, &profile, &request, buffer), 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(buffer)),
                  std::string(c.expectedLength, 'b'));
        EXPECT_EQ(buffer[c.expectedLength + 1], 0xCC);
    }
}

// istrane picks its format by auxFormat alone.
TEST(DigitizerSelector, IstraneReadsAuxFormatOnly) {
    struct Case {
        int line;
        std::int16_t auxFormat;
        std::int16_t reportFormat;
        int frameByte;  // -1: set-up writes nothing
        const char *text;
    };
    const Case cases[] = {
        {__LINE__, 1, 2, 0x40, "A"},
        {__LINE__, 2, 1, 0x80, "B"},
        {__LINE__, 0, 1, -1, ""},
        {__LINE__, 3, 2, -1, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        DigitizerProfile profile{};
        profile.auxFormat = c.auxFormat;
        profile.reportFormat = c.reportFormat;
        std::strcpy(profile.setupA, "A");
        std::strcpy(profile.setupB, "B");
        DigitizerRequest request{DgdOpSetup, 0, 0, 0, 0};
        unsigned char buffer[DGD_MIN_BUFFER_SIZE] = {0xCC};
        EXPECT_EQ(runDigitizer(kIstrane, &profile, &request, buffer), 0);
        EXPECT_STREQ(reinterpret_cast<const char *>(buffer), c.text);
        EXPECT_EQ(profile.frameByte, c.frameByte < 0 ? 0 : c.frameByte);

        // The same selectors pick the decoder: a Bin8 report with b0 bit 0
        // set is refused by format 1, while format 2 (Bin5x7) reads it.
        unsigned char report[DGD_MIN_REPORT_BUFFER] = {0x81, 0x01, 0x02, 0x03, 0x04};
        request = sentinelRequest();
        const std::int32_t status = runDigitizer(kIstrane, &profile, &request, report);
        EXPECT_EQ(status, c.auxFormat == 1 ? DGD_REJECTED : 0);
        EXPECT_EQ(request.x, c.auxFormat == 2 ? 257 : sentinelRequest().x);
    }
}

// The gap stays in the buffer: decoding the same buffer again shifts once
// more, and the y field then starts with the inserted space.
TEST(DigitizerDecode, GapRewriteShiftsTheBufferEachTime) {
    for (const DigitizerModel *model : {&kBelvane, &kCorvish}) {
        unsigned char buffer[DGD_MIN_REPORT_BUFFER] = {};
        std::memcpy(buffer, "*11234598765\r", 13);
        DigitizerProfile profile{};
        profile.reportFormat = 1;
        DigitizerRequest request = sentinelRequest();

        EXPECT_EQ(runDigitizer(*model, &profile, &request, buffer), 0);
        EXPECT_EQ(request.y, 98765);
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(buffer), 14), "*112345 98765\r");
        EXPECT_EQ(buffer[14], 0);

        EXPECT_EQ(runDigitizer(*model, &profile, &request, buffer), 0);
        EXPECT_EQ(request.x, 12345);
        EXPECT_EQ(request.y, -160000 + 9876);
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(buffer), 14), "*112345  98765");
        EXPECT_EQ(buffer[14], 0);
    }
}

TEST(DigitizerDecode, DecimalFieldExtremes) {
    struct Case {
        int line;
        const char *text;
        std::int32_t expected;
    };
    // The widest fields' extremes: no intermediate value may overflow.
    const Case cases[] = {
        {__LINE__, "00000000", 0},
        {__LINE__, "99999999", 99999999},
        {__LINE__, "\x80\x80\x80\x80\x80\x80\x80\x80", -176 * 11111111},
        {__LINE__, "\x7F\x7F\x7F\x7F\x7F\x7F\x7F\x7F", 79 * 11111111},
        {__LINE__, "-0000001", -3 * 10000000 + 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(decimalField(reinterpret_cast<const unsigned char *>(c.text), Span{0, 7}),
                  c.expected);
    }
}

}  // namespace
}  // namespace drv::digitizer::test
