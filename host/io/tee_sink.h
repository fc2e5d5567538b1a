// A sink that passes every byte on to another and keeps a copy: what
// `plot --preview` previews is exactly what went to the device.
#pragma once

#include <cstdint>
#include <vector>

#include "host/io/byte_sink.h"

namespace drv::host {

class TeeSink final : public ByteSink {
public:
    TeeSink(ByteSink &target, std::vector<std::uint8_t> &copy) : target_(target), copy_(copy) {}
    bool write(const std::uint8_t *data, std::size_t size, std::string &error) override {
        if (!target_.write(data, size, error)) {
            return false;
        }
        copy_.insert(copy_.end(), data, data + size);
        return true;
    }
    bool commit(std::string &error) override { return target_.commit(error); }
    bool keepsWhatItGets() const override { return target_.keepsWhatItGets(); }
    void watch(const LinkWatch &watch) override { target_.watch(watch); }
    std::uint64_t taken() const override { return target_.taken(); }

private:
    ByteSink &target_;
    std::vector<std::uint8_t> &copy_;
};

} // namespace drv::host
