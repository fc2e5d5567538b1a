#include "host/decode/pcl_rows.h"

#include <algorithm>

namespace drv::decode {
namespace {

// Writes into the row and drops what falls beyond it.
struct RowWriter {
    std::vector<std::uint8_t> &row;
    std::size_t at = 0;
    void put(std::uint8_t byte, std::size_t count = 1) {
        for (; count > 0 && at < row.size(); --count) {
            row[at++] = byte;
        }
        at += count; // beyond the row: clipped, but still counted
    }
};

bool runLength(std::span<const std::uint8_t> data, RowWriter &out, std::string &problem) {
    std::size_t i = 0;
    for (; i + 1 < data.size(); i += 2) {
        out.put(data[i + 1], std::size_t{data[i]} + 1);
    }
    if (i < data.size()) {
        problem = "run-length row ends inside a pair";
        return false;
    }
    return true;
}

bool packBits(std::span<const std::uint8_t> data, RowWriter &out, std::string &problem) {
    std::size_t i = 0;
    while (i < data.size()) {
        const int header = data[i++];
        if (header < 128) {
            const std::size_t count = static_cast<std::size_t>(header) + 1;
            const std::size_t have = std::min(count, data.size() - i);
            for (std::size_t k = 0; k < have; ++k) {
                out.put(data[i + k]);
            }
            i += have;
            if (have < count) {
                problem = "PackBits literal run ends early";
                return false;
            }
        } else if (header > 128) {
            if (i >= data.size()) {
                problem = "PackBits repeat run without its byte";
                return false;
            }
            out.put(data[i++], static_cast<std::size_t>(257 - header));
        }
    }
    return true;
}

bool deltaRow(std::span<const std::uint8_t> data, RowWriter &out, std::string &problem) {
    std::size_t i = 0;
    while (i < data.size()) {
        const int command = data[i++];
        const std::size_t count = static_cast<std::size_t>(command >> 5) + 1;
        std::size_t offset = static_cast<std::size_t>(command & 31);
        if (offset == 31) {
            int more = 255;
            while (more == 255) {
                if (i >= data.size()) {
                    problem = "delta row offset ends early";
                    return false;
                }
                more = data[i++];
                offset += static_cast<std::size_t>(more);
            }
        }
        out.at += offset;
        const std::size_t have = std::min(count, data.size() - i);
        for (std::size_t k = 0; k < have; ++k) {
            out.put(data[i + k]);
        }
        i += have;
        if (have < count) {
            problem = "delta row replacement ends early";
            return false;
        }
    }
    return true;
}

bool decodeRows(int method, std::span<const std::uint8_t> data, std::span<const std::uint8_t> seed,
                std::vector<std::uint8_t> &row, RowWriter &out, std::string &problem) {
    switch (method) {
    case 0:
        std::fill(row.begin(), row.end(), 0);
        std::copy_n(data.begin(), std::min(data.size(), row.size()), row.begin());
        out.at = data.size();
        return true;
    case 1:
        std::fill(row.begin(), row.end(), 0);
        return runLength(data, out, problem);
    case 2:
        std::fill(row.begin(), row.end(), 0);
        return packBits(data, out, problem);
    case 3:
        std::fill(row.begin(), row.end(), 0);
        std::copy_n(seed.begin(), std::min(seed.size(), row.size()), row.begin());
        return deltaRow(data, out, problem);
    default:
        std::fill(row.begin(), row.end(), 0);
        problem = "compression method " + std::to_string(method) + " is not supported";
        return false;
    }
}

} // namespace

bool decodeRow(int method, std::span<const std::uint8_t> data, std::span<const std::uint8_t> seed,
               std::vector<std::uint8_t> &row, std::string &problem, std::size_t *extent) {
    RowWriter out{row};
    const bool ok = decodeRows(method, data, seed, row, out, problem);
    if (extent != nullptr) {
        *extent = std::min(out.at, row.size());
    }
    return ok;
}

} // namespace drv::decode
