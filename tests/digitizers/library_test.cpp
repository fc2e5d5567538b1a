// The 26 shipped libraries, loaded the way a host loads them.
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "digitizers/encoder/tablet_encoder.h"
#include "digitizers/models/all_models.h"
#include "tests/digitizers/digitizer_cases.h"
#include "tests/support/built_driver.h"

namespace drv::digitizer::test {
namespace {

// Each library is opened once and kept for the whole run.
DgdbinFunction libraryEntry(std::string_view model) {
    static std::map<std::string, std::unique_ptr<DriverLibrary>, std::less<>> open;
    auto it = open.find(model);
    if (it == open.end()) {
        std::string error;
        auto library = drv::test::openBuiltDriver(model, error);
        EXPECT_TRUE(library) << model << ": " << error;
        if (!library) {
            return nullptr;
        }
        it = open.emplace(std::string(model), std::move(library)).first;
    }
    return it->second->dgdbin();
}

Entry loadedEntry(std::string_view model) {
    const DgdbinFunction entry = libraryEntry(model);
    EXPECT_NE(entry, nullptr) << model << " exports no dgdbin";
    return [entry](DigitizerProfile *p, DigitizerRequest *r, unsigned char *b) {
        return entry != nullptr ? entry(p, r, b) : -1000;
    };
}

TEST(DigitizerLibraries, BuildListMatchesModelList) {
    std::stringstream names(DRV_DIGITIZER_NAMES);
    std::vector<std::string> built;
    for (std::string name; std::getline(names, name, ',');) {
        built.push_back(name);
    }
    ASSERT_EQ(built.size(), kAllModels.size());
    for (std::size_t i = 0; i < built.size(); ++i) {
        EXPECT_EQ(built[i], kAllModels[i].name);
    }
}

TEST(DigitizerLibraries, SetupOfEveryLibrary) {
    for (const SetupRow &row : setupRows()) {
        checkSetup(loadedEntry(row.model), row);
    }
}

TEST(DigitizerLibraries, OtherOpsOfEveryLibrary) {
    for (const NamedModel &m : kAllModels) {
        SCOPED_TRACE(std::string(m.name));
        checkOtherOps(loadedEntry(m.name));
    }
}

TEST(DigitizerLibraries, ReportVectorsOfEveryLibrary) {
    for (const DecodeCase &c : decodeCases()) {
        checkDecode(loadedEntry(c.model), c);
    }
}

// Every decodable format of every library gives back encoded samples.
TEST(DigitizerLibraries, EncodedReportsRoundTrip) {
    for (std::string_view model : tabletModelNames()) {
        const Entry entry = loadedEntry(model);
        for (const int format : {1, 2}) {
            const std::optional<TabletFormat> info = tabletFormat(model, format);
            if (!info) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << model << " format " << format);
            const std::vector<std::int16_t> buttons = tabletButtons(model, format);
            ASSERT_FALSE(buttons.empty());
            const TabletSample samples[] = {{buttons.back(), info->maxX, info->maxY},
                                            {buttons.front(), 0, info->maxY / 3}};
            for (const TabletSample &sample : samples) {
                std::vector<std::uint8_t> report;
                ASSERT_TRUE(encodeTabletReport(model, format, sample, report));
                std::int32_t status = -1;
                const DigitizerRequest request = decodeWith(entry, format, report, status);
                EXPECT_EQ(status, 0);
                EXPECT_EQ((TabletSample{request.button, request.x, request.y}), sample);
                EXPECT_EQ(request.z, 0);
            }
        }
    }
}

}  // namespace
}  // namespace drv::digitizer::test
