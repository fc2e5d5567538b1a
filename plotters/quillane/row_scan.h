// Scanning raster rows many bytes at a time.
//
// The row compressors spend their time looking for where something changes:
// the end of a run of equal bytes, the next three equal bytes in a literal
// stretch, the next byte that differs from the seed row or equals it again.
// Two scanners answer those questions with the same results: `Words`, eight
// (or, on 32-bit targets, four) bytes per step in plain integers, and
// `Sse2`, sixteen bytes per step, built where the compiler targets SSE2
// (x86-64 always, i686 with -msse2). `FastScan` is the one the build picks.
//
// Every function looks at positions `from` to `end - 1` of rows that are
// valid from position 0 to `end - 1`, returns `end` for "not found", and
// reads no byte outside the rows: a vector step that would cross `end` is
// moved back to end just there (re-reading positions already looked at,
// never one past the row) or, in a row shorter than a step, left to the
// smaller steps of `Words`. The results do not depend on the alignment of
// the rows.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace drv::quillane::scan {

// How a changed stretch of a row against its seed looks from afar: the
// changed bytes and the stretches they form.
struct ChangeCount {
    std::size_t changed = 0;
    std::size_t stretches = 0;
};

// Eight (four) bytes per step. A byte-wise compare is turned into a word
// with the high bit of each byte set where the bytes are equal; the first
// such byte is the lowest set bit (the words are read little-endian).
struct Words {
    using Word = std::conditional_t<sizeof(void *) >= 8, std::uint64_t, std::uint32_t>;
    static constexpr std::size_t kStep = sizeof(Word);
    static constexpr Word kOnes = ~Word{0} / 0xFF;  // 0x0101...
    static constexpr Word kHigh = kOnes << 7;       // 0x8080...

    static Word load(const std::uint8_t *at) {
        Word w;
        std::memcpy(&w, at, sizeof w);
        if constexpr (std::endian::native == std::endian::big) {
            Word swapped = 0;
            for (std::size_t k = 0; k < sizeof w; ++k) {
                swapped = swapped << 8 | (w >> (8 * k) & 0xFF);
            }
            w = swapped;
        }
        return w;
    }
    // High bit of each byte set where `x` has a zero byte; exact for every
    // byte (no borrow crosses a byte).
    static Word zeroBytes(Word x) { return ~(((x & ~kHigh) + ~kHigh) | x) & kHigh; }
    static std::size_t firstMarked(Word marks) {
        return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
    }

    // The marks of a zeroBytes result as one bit per byte, first byte in
    // bit 0 (a multiply gathers the high bits; no two products overlap).
    static unsigned packMarks(Word marks) {
        if constexpr (sizeof(Word) == 8) {
            return static_cast<unsigned>(((marks >> 7) * 0x0102040810204080ull) >> 56);
        } else {
            return static_cast<unsigned>(((marks >> 7) * 0x10204080u) >> 28);
        }
    }

    // Bit k: position base + k (k = 0 to 63) holds the same byte as the
    // next one; positions without a next byte in the row get 0.
    static std::uint64_t pairMask(const std::uint8_t *row, std::size_t base, std::size_t end) {
        std::uint64_t pairs = 0;
        std::size_t k = 0;
        for (; k < 64 && base + k + kStep + 1 <= end; k += kStep) {
            pairs |= std::uint64_t{packMarks(zeroBytes(load(row + base + k) ^
                                                       load(row + base + k + 1)))}
                     << k;
        }
        return pairs | scalarPairs(row, base, end, k);
    }

    // The bits of pairMask from position base + k on, one at a time.
    static std::uint64_t scalarPairs(const std::uint8_t *row, std::size_t base, std::size_t end,
                                     std::size_t k) {
        std::uint64_t pairs = 0;
        for (; k < 64 && base + k + 1 < end; ++k) {
            pairs |= std::uint64_t{row[base + k] == row[base + k + 1]} << k;
        }
        return pairs;
    }

    // Bit k: position base + k (k = 0 to 63, inside the row) differs
    // between `a` and `b`.
    static std::uint64_t changeMask(const std::uint8_t *a, const std::uint8_t *b,
                                    std::size_t base, std::size_t end) {
        std::uint64_t changed = 0;
        std::size_t k = 0;
        for (; k < 64 && base + k + kStep <= end; k += kStep) {
            const Word same = zeroBytes(load(a + base + k) ^ load(b + base + k));
            changed |= std::uint64_t{~packMarks(same) & ((1u << kStep) - 1)} << k;
        }
        return changed | scalarChanges(a, b, base, end, k);
    }

    static std::uint64_t scalarChanges(const std::uint8_t *a, const std::uint8_t *b,
                                       std::size_t base, std::size_t end, std::size_t k) {
        std::uint64_t changed = 0;
        for (; k < 64 && base + k < end; ++k) {
            changed |= std::uint64_t{a[base + k] != b[base + k]} << k;
        }
        return changed;
    }

    static std::size_t runEnd(const std::uint8_t *row, std::size_t from, std::size_t end,
                              std::uint8_t c) {
        const Word fill = kOnes * c;
        std::size_t i = from;
        for (; i + kStep <= end; i += kStep) {
            const Word other = ~zeroBytes(load(row + i) ^ fill) & kHigh;
            if (other != 0) {
                return i + firstMarked(other);
            }
        }
        for (; i < end && row[i] == c; ++i) {
        }
        return i;
    }

    static std::size_t tripleStart(const std::uint8_t *row, std::size_t from, std::size_t end) {
        std::size_t i = from;
        for (; i + kStep + 2 <= end; i += kStep) {
            const Word a = load(row + i);
            const Word b = load(row + i + 1);
            const Word c = load(row + i + 2);
            const Word triple = zeroBytes((a ^ b) | (b ^ c));
            if (triple != 0) {
                return i + firstMarked(triple);
            }
        }
        for (; i + 2 < end; ++i) {
            if (row[i] == row[i + 1] && row[i + 1] == row[i + 2]) {
                return i;
            }
        }
        return end;
    }

    static std::size_t firstChanged(const std::uint8_t *a, const std::uint8_t *b, std::size_t from,
                                    std::size_t end) {
        std::size_t i = from;
        for (; i + kStep <= end; i += kStep) {
            const Word differ = ~zeroBytes(load(a + i) ^ load(b + i)) & kHigh;
            if (differ != 0) {
                return i + firstMarked(differ);
            }
        }
        for (; i < end && a[i] == b[i]; ++i) {
        }
        return i;
    }

    static std::size_t firstUnchanged(const std::uint8_t *a, const std::uint8_t *b,
                                      std::size_t from, std::size_t end) {
        std::size_t i = from;
        for (; i + kStep <= end; i += kStep) {
            const Word same = zeroBytes(load(a + i) ^ load(b + i));
            if (same != 0) {
                return i + firstMarked(same);
            }
        }
        for (; i < end && a[i] != b[i]; ++i) {
        }
        return i;
    }

    static ChangeCount countChanges(const std::uint8_t *a, const std::uint8_t *b,
                                    std::size_t from, std::size_t end) {
        ChangeCount count;
        bool before = false;  // the byte before `from` counts as unchanged
        std::size_t i = from;
        for (; i + kStep <= end; i += kStep) {
            const Word differ = ~zeroBytes(load(a + i) ^ load(b + i)) & kHigh;
            const Word starts = differ & ~(differ << 8 | (before ? Word{0x80} : Word{0}));
            count.changed += static_cast<std::size_t>(std::popcount(differ));
            count.stretches += static_cast<std::size_t>(std::popcount(starts));
            before = (differ >> (8 * kStep - 1)) != 0;
        }
        for (; i < end; ++i) {
            const bool changed = a[i] != b[i];
            count.changed += changed ? 1 : 0;
            count.stretches += changed && !before ? 1 : 0;
            before = changed;
        }
        return count;
    }
};

#if defined(__SSE2__)

// Sixteen bytes per step; long runs and unchanged stretches go 64 bytes per
// step. The last step of a scan is an overlapping load that ends at `end`.
struct Sse2 {
    static constexpr std::size_t kStep = 16;

    static __m128i load(const std::uint8_t *at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
    }
    static unsigned equalMask(__m128i x, __m128i y) {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)));
    }
    static std::size_t firstBit(unsigned mask) {
        return static_cast<std::size_t>(std::countr_zero(mask));
    }
    // Marks of the overlapping last step at `end - 16` that lie at `i` or
    // later (the ones before were looked at already).
    static unsigned fromPosition(unsigned mask, std::size_t i, std::size_t end) {
        return mask & (0xFFFFu << (i - (end - kStep)));
    }

    static std::uint64_t pairMask(const std::uint8_t *row, std::size_t base, std::size_t end) {
        if (base + 65 <= end) {
            const std::uint8_t *at = row + base;
            const auto part = [&](std::size_t k) {
                return std::uint64_t{equalMask(load(at + k), load(at + k + 1))} << k;
            };
            return part(0) | part(16) | part(32) | part(48);
        }
        std::uint64_t pairs = 0;
        std::size_t k = 0;
        for (; base + k + kStep + 1 <= end; k += kStep) {
            pairs |= std::uint64_t{equalMask(load(row + base + k), load(row + base + k + 1))} << k;
        }
        return pairs | Words::scalarPairs(row, base, end, k);
    }

    static std::uint64_t changeMask(const std::uint8_t *a, const std::uint8_t *b,
                                    std::size_t base, std::size_t end) {
        std::uint64_t same = 0;
        std::size_t k = 0;
        for (; k < 64 && base + k + kStep <= end; k += kStep) {
            same |= std::uint64_t{equalMask(load(a + base + k), load(b + base + k))} << k;
        }
        const std::uint64_t covered = k == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << k) - 1;
        return (~same & covered) | Words::scalarChanges(a, b, base, end, k);
    }

    static std::size_t runEnd(const std::uint8_t *row, std::size_t from, std::size_t end,
                              std::uint8_t c) {
        const __m128i fill = _mm_set1_epi8(static_cast<char>(c));
        std::size_t i = from;
        for (; i + 4 * kStep <= end; i += 4 * kStep) {
            const __m128i all =
                _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(load(row + i), fill),
                                            _mm_cmpeq_epi8(load(row + i + 16), fill)),
                              _mm_and_si128(_mm_cmpeq_epi8(load(row + i + 32), fill),
                                            _mm_cmpeq_epi8(load(row + i + 48), fill)));
            if (_mm_movemask_epi8(all) != 0xFFFF) {
                break;
            }
        }
        for (; i + kStep <= end; i += kStep) {
            const unsigned other = ~equalMask(load(row + i), fill) & 0xFFFFu;
            if (other != 0) {
                return i + firstBit(other);
            }
        }
        if (i < end && end >= kStep) {
            const unsigned other =
                fromPosition(~equalMask(load(row + end - kStep), fill) & 0xFFFFu, i, end);
            return other != 0 ? end - kStep + firstBit(other) : end;
        }
        return Words::runEnd(row, i, end, c);
    }

    static std::size_t tripleStart(const std::uint8_t *row, std::size_t from, std::size_t end) {
        std::size_t i = from;
        for (; i + kStep + 2 <= end; i += kStep) {
            const __m128i b = load(row + i + 1);
            const unsigned triple = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
                _mm_cmpeq_epi8(load(row + i), b), _mm_cmpeq_epi8(b, load(row + i + 2)))));
            if (triple != 0) {
                return i + firstBit(triple);
            }
        }
        // Triples start at most at end - 3: the last step starts at end - 18.
        if (i + 2 < end && end >= kStep + 2) {
            const std::size_t at = end - 2 - kStep;
            const __m128i b = load(row + at + 1);
            const unsigned triple = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
                _mm_cmpeq_epi8(load(row + at), b), _mm_cmpeq_epi8(b, load(row + at + 2)))));
            const unsigned fresh = triple & (0xFFFFu << (i - at));
            return fresh != 0 ? at + firstBit(fresh) : end;
        }
        return Words::tripleStart(row, i, end);
    }

    static std::size_t firstChanged(const std::uint8_t *a, const std::uint8_t *b, std::size_t from,
                                    std::size_t end) {
        std::size_t i = from;
        for (; i + 4 * kStep <= end; i += 4 * kStep) {
            const __m128i all =
                _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(load(a + i), load(b + i)),
                                            _mm_cmpeq_epi8(load(a + i + 16), load(b + i + 16))),
                              _mm_and_si128(_mm_cmpeq_epi8(load(a + i + 32), load(b + i + 32)),
                                            _mm_cmpeq_epi8(load(a + i + 48), load(b + i + 48))));
            if (_mm_movemask_epi8(all) != 0xFFFF) {
                break;
            }
        }
        for (; i + kStep <= end; i += kStep) {
            const unsigned differ = ~equalMask(load(a + i), load(b + i)) & 0xFFFFu;
            if (differ != 0) {
                return i + firstBit(differ);
            }
        }
        if (i < end && end >= kStep) {
            const std::size_t at = end - kStep;
            const unsigned differ =
                fromPosition(~equalMask(load(a + at), load(b + at)) & 0xFFFFu, i, end);
            return differ != 0 ? at + firstBit(differ) : end;
        }
        return Words::firstChanged(a, b, i, end);
    }

    static std::size_t firstUnchanged(const std::uint8_t *a, const std::uint8_t *b,
                                      std::size_t from, std::size_t end) {
        std::size_t i = from;
        for (; i + kStep <= end; i += kStep) {
            const unsigned same = equalMask(load(a + i), load(b + i));
            if (same != 0) {
                return i + firstBit(same);
            }
        }
        if (i < end && end >= kStep) {
            const std::size_t at = end - kStep;
            const unsigned same = fromPosition(equalMask(load(a + at), load(b + at)), i, end);
            return same != 0 ? at + firstBit(same) : end;
        }
        return Words::firstUnchanged(a, b, i, end);
    }

    // Byte counters in eight-bit lanes, summed out before they can wrap.
    static ChangeCount countChanges(const std::uint8_t *a, const std::uint8_t *b,
                                    std::size_t from, std::size_t end) {
        if (end - from <= kStep) {
            return Words::countChanges(a, b, from, end);
        }
        // A stretch starting at `from` counts whatever lies before it.
        ChangeCount count;
        count.changed = count.stretches = a[from] != b[from] ? 1 : 0;
        std::size_t i = from + 1;
        const __m128i zero = _mm_setzero_si128();
        const auto sum = [&](__m128i lanes) {
            const __m128i total = _mm_sad_epu8(lanes, zero);
            return static_cast<std::size_t>(_mm_cvtsi128_si32(total)) +
                   static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(total, 8)));
        };
        while (i + kStep <= end) {
            __m128i equalBytes = zero;
            __m128i starts = zero;
            std::size_t steps = 0;
            for (; steps < 255 && i + kStep <= end; ++steps, i += kStep) {
                // Lanes are 0xFF (minus one) where true.
                const __m128i equal = _mm_cmpeq_epi8(load(a + i), load(b + i));
                const __m128i equalBefore = _mm_cmpeq_epi8(load(a + i - 1), load(b + i - 1));
                equalBytes = _mm_sub_epi8(equalBytes, equal);
                starts = _mm_sub_epi8(starts, _mm_andnot_si128(equal, equalBefore));
            }
            count.changed += steps * kStep - sum(equalBytes);
            count.stretches += sum(starts);
        }
        for (; i < end; ++i) {
            const bool changed = a[i] != b[i];
            count.changed += changed ? 1 : 0;
            count.stretches += changed && a[i - 1] == b[i - 1] ? 1 : 0;
        }
        return count;
    }
};

using FastScan = Sse2;
#else
using FastScan = Words;
#endif

}  // namespace drv::quillane::scan
