// Whole jobs of the HP-GL/2 and PCL driver from fuzzed requests, on one
// state block (garbage before the first OpBeginJob), as a host that keeps
// its side of the contract sends them: a job is opened before anything
// else; rows come only inside an image, with the width, depth and expansion
// flag its OpRasterBegin declared, and as many bytes as that depth reads; a
// job may end with an image still open. Images change form, width and
// depth from one to the next; any call may have one of its first four
// allocations refused. Checked on every call:
//  - the result is 0 and outLength stays within the buffer the host sized
//    for the request (an exact heap block: the sanitizer watches its end);
//  - while vectors are halted only OpBeginJob and OpEndJob write anything;
//  - OpRasterBegin builds the expansion table from the palette record;
//  - every row is read back as the device reads it (transfer commands,
//    PackBits, delta rows against the device's seed row) and must give the
//    host's pixels: bit planes, palette-expanded or direct RGB; a row may
//    come out empty only when an allocation was refused or its depth has no
//    encoding;
// and at every OpEndJob every block the driver obtained has been released.
//
// Input: a sequence of steps. Each step reads one choice byte, then what
// that step needs: a refusal byte (r % 4 == 0 refuses allocation
// 1 + r / 4 % 4 of the call), cells as a kind byte (% 4: int8, int16, int32,
// float) and a little-endian value, texts as a length byte (% 64, 63 = null)
// and characters, images as x, y, size, width and depth choices, a flags
// byte and the palette, rows as a mode byte (fresh bytes, the previous row
// with changes, one value, the previous row again) and their bytes.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drvsuite/plotter.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/quillane_image.h"
#include "plotters/quillane/plotter_state.h"
#include "tests/support/test_heap.h"

namespace {

using drv::fuzz::Bytes;
using drv::fuzz::Image;
using drv::fuzz::Input;
using drv::quillane::PlotterState;

constexpr std::size_t kMaxSteps = 300;
constexpr std::int32_t kWidths[] = {0,  1,  2,  7,   8,   9,   15,  16,  17, 31,
                                    32, 33, 64, 127, 129, 255, 257, 400, 683};
constexpr std::int32_t kDepths[] = {1, 2, 4, 8, 16, 32, 1, 8, 32, 24};
constexpr std::int32_t kRowFlags = FlagPlanesUncompressed | FlagColorUncompressed;

class Host {
public:
    explicit Host(Input &in) : in_(in), baseline_(drv::testing::outstandingBlocks()) {
        std::memset(&state_, 0xCD, sizeof state_);
    }

    void step() {
        const std::uint8_t choice = in_.byte();
        if (!inJob_) {
            beginJob();
        } else if (image_) {
            choice % 8 == 0 ? rasterEnd() : choice % 8 == 1 ? endJob() : row();
        } else {
            choice % 8 == 0 ? endJob() : choice % 8 <= 2 ? rasterBegin() : vector(choice % 8 == 3);
        }
    }

    void finish() {
        if (inJob_) {
            endJob();
        }
    }

private:
    // One call with an output buffer of exactly `capacity` bytes.
    std::string call(PlotRequest request, const void *text, std::size_t capacity) {
        const std::uint8_t r = in_.byte();
        const int refuse = r % 4 == 0 ? 1 + r / 4 % 4 : 0;
        std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[capacity]);
        std::memset(out.get(), 0x5A, capacity);
        const int before = drv::testing::allocationRequests();
        drv::testing::failNthAllocation(refuse);
        FUZZ_CHECK(pldbin(&request, text, out.get(), &state_) == 0);
        drv::testing::resetAllocationFailures();
        refused_ = refuse > 0 && drv::testing::allocationRequests() - before >= refuse;
        const auto length = static_cast<std::size_t>(request.outLength);
        FUZZ_CHECK(request.outLength >= 0 && length <= capacity);
        FUZZ_CHECK(length > 0 || out[0] == 0);
        FUZZ_CHECK(length == 0 || !halted_ || request.op == OpBeginJob || request.op == OpEndJob);
        return std::string(out.get(), out.get() + length);
    }

    PlotRequest request(std::int32_t op, std::int32_t flags = 0) {
        PlotRequest r{};
        r.op = op;
        r.outLength = -1;
        r.flags = flags;
        return r;
    }

    // A NUL-terminated text of up to 62 characters, or null.
    const char *text() {
        const std::size_t length = in_.byte() % 64;
        text_.assign(length + 1, 0);
        for (std::size_t k = 0; k < length; ++k) {
            text_[k] = static_cast<char>(in_.byte() | 1);  // no NUL inside
        }
        return length == 63 ? nullptr : text_.data();
    }
    std::size_t textRoom() const { return 160 + text_.size(); }

    void beginJob() {
        PlotRequest r = request(OpBeginJob, in_.byte());
        for (int k = 2; k <= 4; ++k) {
            const std::uint32_t cell = in_.cell();
            std::memcpy(&r.param[k], &cell, sizeof cell);
        }
        const char *header = text();
        call(r, header, textRoom());
        inJob_ = true;
        halted_ = false;
    }

    void endJob() {
        PlotRequest r = request(OpEndJob);
        r.param[0].i = in_.byte() % 2;
        r.param[1].i = static_cast<std::int32_t>(in_.cell());
        const char *trailer = text();
        call(r, trailer, textRoom());
        FUZZ_CHECK(state_.seedRow == nullptr && state_.palette == nullptr);
        FUZZ_CHECK(drv::testing::outstandingBlocks() == baseline_);
        inJob_ = false;
        image_.reset();
    }

    void vector(bool badCode) {
        const std::uint8_t op = in_.byte();
        const std::int32_t code = badCode ? (op % 2 == 0 ? 0 : 22 + op % 3) : 3 + op % 16;
        PlotRequest r = request(code, in_.byte());
        for (int k = 0, cells = in_.byte() % 12; k < cells; ++k) {
            const std::uint32_t cell = in_.cell();
            std::memcpy(&r.param[k], &cell, sizeof cell);
        }
        text_.clear();
        const char *label = r.op == OpLabel ? text() : nullptr;
        const std::string out = call(r, label, textRoom());
        FUZZ_CHECK(!badCode || out.empty());
    }

    void rasterBegin() {
        const std::int32_t width = kWidths[in_.byte() % std::size(kWidths)];
        const std::int32_t depth = kDepths[in_.byte() % std::size(kDepths)];
        PlotRequest r = request(OpRasterBegin, in_.byte() & FlagExpandPalette);
        r.param[0].i = static_cast<std::int32_t>(in_.cell());
        r.param[1].i = static_cast<std::int32_t>(in_.cell());
        r.param[2].f = in_.byte() * 1.5f;
        r.param[3].f = in_.byte() * 0.5f;
        r.param[4].i = width;
        r.param[5].i = in_.byte();
        r.param[6].i = depth;

        // The palette record, and the table the driver must build from it.
        const std::int32_t lastIndex = static_cast<std::int32_t>(in_.byte()) * 3 / 2 - 20;
        const std::size_t entries = lastIndex < 0 ? 0 : static_cast<std::size_t>(lastIndex) + 1;
        Bytes record(RASTER_PALETTE_SIZE(entries));
        record[6] = static_cast<std::uint8_t>(lastIndex & 0xFF);
        record[7] = static_cast<std::uint8_t>(lastIndex >> 8 & 0xFF);
        Bytes table(768, 0);
        for (std::size_t i = 0; i < entries; ++i) {
            for (std::size_t c = 0; c < 3; ++c) {
                record[8 + 8 * i + 2 + 2 * c] = in_.byte();
                record[8 + 8 * i + 3 + 2 * c] = in_.byte();
                if (i < 256) {
                    table[3 * i + c] = record[8 + 8 * i + 3 + 2 * c];
                }
            }
        }
        const std::string out = call(r, record.data(), 160 + 24 * entries);
        if (halted_) {
            return;
        }
        FUZZ_CHECK(out.size() >= 5 && out.compare(out.size() - 5, 5, "\x1b*r3A") == 0);
        const bool expands = depth < 16 && (r.flags & FlagExpandPalette) != 0;
        image_.emplace(Image{width, depth, r.flags, table,
                             quillane_test::ColorRowDevice(3 * static_cast<std::size_t>(width)), {},
                             expands && state_.palette == nullptr});
        FUZZ_CHECK((state_.palette != nullptr) == (expands && !refused_));
        FUZZ_CHECK(state_.palette == nullptr ||
                   std::memcmp(state_.palette, table.data(), table.size()) == 0);
        FUZZ_CHECK(state_.seedRow == nullptr);
    }

    void rasterEnd() {
        const std::string out =
            call(request(OpRasterEnd, in_.byte() & FlagHaltAfterRaster), nullptr, 64);
        FUZZ_CHECK(halted_ || out == "\x1b*rC\x1b*p1P\x1b%0BTR0;");
        FUZZ_CHECK(state_.seedRow == nullptr && state_.palette == nullptr);
        halted_ = state_.vectorsHalted != 0;
        image_.reset();
    }

    Bytes nextRow(Image &image) {
        const std::size_t size = image.rowBytes();
        Bytes row = image.lastRow.size() == size ? image.lastRow : Bytes(size, 0);
        switch (in_.byte() % 4) {
        case 0:
            for (std::uint8_t &b : row) {
                b = in_.byte();
            }
            break;
        case 1:
            for (int k = 0, changes = in_.byte() % 8; k < changes && size > 0; ++k) {
                row[in_.little(2) % size] = in_.byte();
            }
            break;
        case 2:
            std::fill(row.begin(), row.end(), in_.byte());
            break;
        default:
            break;
        }
        image.lastRow = row;
        return row;
    }

    void row() {
        Image &image = *image_;
        const Bytes pixels = nextRow(image);
        // In a block of exactly the row's size, as the host holds it.
        std::unique_ptr<std::uint8_t[]> exact(
            new std::uint8_t[std::max<std::size_t>(pixels.size(), 1)]);
        std::copy(pixels.begin(), pixels.end(), exact.get());
        PlotRequest r = request(OpRasterRow, image.flags | (in_.byte() & kRowFlags));
        r.param[0].i = image.width;
        r.param[1].i = image.depth;
        const std::string out = call(r, exact.get(), image.largestOutput());
        if (halted_) {
            return;
        }
        if (out.empty()) {
            FUZZ_CHECK(refused_ || image.noTable ||
                       (image.direct() && image.depth != 16 && image.depth != 32));
            return;
        }
        if (image.colour()) {
            const auto received = image.device.receive(out);
            FUZZ_CHECK(received && *received == image.rgb(pixels));
            FUZZ_CHECK((r.flags & FlagColorUncompressed) == 0 || out.compare(0, 4, "\x1b*b0") == 0);
        } else {
            const auto received = quillane_test::receivePlanes(
                out, static_cast<std::size_t>(image.depth), image.planeLength());
            FUZZ_CHECK(received && *received == image.planes(pixels));
            // Asked for uncompressed planes, every transfer is method 0 (the
            // plane bytes themselves may hold anything, escapes included).
            if ((r.flags & FlagPlanesUncompressed) != 0) {
                const auto transfers = quillane_test::parseTransfers(out);
                for (const quillane_test::Transfer &t : *transfers) {
                    FUZZ_CHECK(t.method == '0');
                }
            }
        }
    }

    Input &in_;
    PlotterState state_;
    int baseline_;
    bool inJob_ = false;
    bool halted_ = false;
    bool refused_ = false;
    std::optional<Image> image_;
    std::vector<char> text_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Input in(data, size);
    Host host(in);
    for (std::size_t n = 0; n < kMaxSteps && !in.empty(); ++n) {
        host.step();
    }
    host.finish();
    return 0;
}
