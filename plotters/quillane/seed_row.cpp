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

std::uint8_t *obtainRowBlock(std::int32_t length) {
    auto *block =
        static_cast<std::uint8_t *>(obtainBlock(kHeaderSize + static_cast<std::size_t>(length)));
    if (block != nullptr) {
        std::memset(block, 0, kHeaderSize);
        std::memcpy(block + kLengthOffset, &length, sizeof length);
    }
    return block;
}

std::uint8_t *seedFor(std::uint8_t *&seedRow, std::int32_t length) {
    if (seedRow != nullptr && seedLength(seedRow) == length) {
        return seedRow;
    }
    releaseBlock(seedRow);
    seedRow = obtainRowBlock(length);
    return seedRow;
}

void adoptSeed(std::uint8_t *&seedRow, std::uint8_t *block) {
    if (seedRow != block) {
        releaseBlock(seedRow);
    }
    block[kMatchOffset] = 1;
    seedRow = block;
}

bool seedMatchesDevice(const std::uint8_t *block) {
    return block[kMatchOffset] != 0;
}

const std::uint8_t *seedBytes(const std::uint8_t *block) {
    return block + kHeaderSize;
}

std::uint8_t *seedBytes(std::uint8_t *block) {
    return block + kHeaderSize;
}

void forgetSeed(std::uint8_t *block) {
    if (block != nullptr) {
        block[kMatchOffset] = 0;
    }
}

}  // namespace drv::quillane
