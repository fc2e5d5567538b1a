#include "plotters/quillane/seed_row.h"

#include <cstddef>
#include <cstring>

#include "common/heap.h"

namespace drv::quillane {
namespace {

constexpr std::size_t kLengthOffset = 0;
constexpr std::size_t kMatchOffset = 4;
constexpr std::size_t kHeaderSize = 8;

std::int32_t seedLength(const std::uint8_t *block) {
    std::int32_t length;
    std::memcpy(&length, block + kLengthOffset, sizeof length);
    return length;
}

}  // namespace

std::uint8_t *seedFor(std::uint8_t *&seedRow, std::int32_t length) {
    if (seedRow != nullptr && seedLength(seedRow) == length) {
        return seedRow;
    }
    releaseBlock(seedRow);
    seedRow =
        static_cast<std::uint8_t *>(obtainBlock(kHeaderSize + static_cast<std::size_t>(length)));
    if (seedRow != nullptr) {
        std::memset(seedRow, 0, kHeaderSize);
        std::memcpy(seedRow + kLengthOffset, &length, sizeof length);
    }
    return seedRow;
}

bool seedMatchesDevice(const std::uint8_t *block) {
    return block[kMatchOffset] != 0;
}

const std::uint8_t *seedBytes(const std::uint8_t *block) {
    return block + kHeaderSize;
}

void refreshSeed(std::uint8_t *block, const std::uint8_t *row) {
    std::memcpy(block + kHeaderSize, row, static_cast<std::size_t>(seedLength(block)));
    block[kMatchOffset] = 1;
}

void forgetSeed(std::uint8_t *block) {
    if (block != nullptr) {
        block[kMatchOffset] = 0;
    }
}

}  // namespace drv::quillane
