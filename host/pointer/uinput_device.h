// The Linux input device a tablet becomes, made through libevdev's uinput
// support: a pen tablet with absolute X and Y and the pen's buttons.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/pointer/pointer_events.h"

struct libevdev;
struct libevdev_uinput;

namespace drv::host {

class UinputDevice {
public:
    // Creates the device `name` with the axes of `setup`. Null with the
    // reason (and what to do about it) in `error`: no /dev/uinput, or no
    // right to write it.
    static std::unique_ptr<UinputDevice> create(const std::string &name, const PointerSetup &setup,
                                                std::string &error);
    ~UinputDevice();
    UinputDevice(const UinputDevice &) = delete;
    UinputDevice &operator=(const UinputDevice &) = delete;

    // The device node the kernel gave it (/dev/input/eventN), when known.
    std::string node() const;

    // Sends the events; false with the reason on a failed write.
    bool send(const std::vector<InputEvent> &events, std::string &error);

private:
    UinputDevice() = default;

    libevdev *dev_ = nullptr;
    libevdev_uinput *uinput_ = nullptr;
};

// Where uinput devices are made.
constexpr const char *kUinputNode = "/dev/uinput";

} // namespace drv::host
