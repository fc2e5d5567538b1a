#include "host/pointer/uinput_device.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input-event-codes.h>
#include <linux/input.h>

#include <cstring>

namespace drv::host {
namespace {

void enableAxis(libevdev *dev, unsigned int code, const AxisRange &range) {
    input_absinfo info{};
    info.minimum = 0;
    info.maximum = range.max;
    info.resolution = range.resolution;
    libevdev_enable_event_code(dev, EV_ABS, code, &info);
}

std::string advice(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
        return " (the kernel's uinput module is not loaded: modprobe uinput)";
    case EACCES:
    case EPERM:
        return " (writing it needs root or a group that may, often 'input')";
    default:
        return "";
    }
}

} // namespace

std::unique_ptr<UinputDevice> UinputDevice::create(const std::string &name,
                                                   const PointerSetup &setup, std::string &error) {
    std::unique_ptr<UinputDevice> device(new UinputDevice);
    device->dev_ = libevdev_new();
    if (device->dev_ == nullptr) {
        error = "cannot make an input device description";
        return nullptr;
    }
    libevdev *dev = device->dev_;
    libevdev_set_name(dev, name.c_str());
    libevdev_set_id_bustype(dev, BUS_RS232);
    libevdev_enable_property(dev, INPUT_PROP_POINTER);
    libevdev_enable_event_type(dev, EV_ABS);
    enableAxis(dev, ABS_X, setup.x);
    enableAxis(dev, ABS_Y, setup.y);
    libevdev_enable_event_type(dev, EV_KEY);
    for (const unsigned int code : {BTN_TOOL_PEN, BTN_TOUCH, BTN_STYLUS, BTN_STYLUS2}) {
        libevdev_enable_event_code(dev, EV_KEY, code, nullptr);
    }
    const int status =
        libevdev_uinput_create_from_device(dev, LIBEVDEV_UINPUT_OPEN_MANAGED, &device->uinput_);
    if (status != 0) {
        error = std::string(kUinputNode) + ": " + std::strerror(-status) + advice(-status);
        return nullptr;
    }
    return device;
}

UinputDevice::~UinputDevice() {
    if (uinput_ != nullptr) {
        libevdev_uinput_destroy(uinput_);
    }
    if (dev_ != nullptr) {
        libevdev_free(dev_);
    }
}

std::string UinputDevice::node() const {
    const char *node = uinput_ == nullptr ? nullptr : libevdev_uinput_get_devnode(uinput_);
    return node == nullptr ? std::string() : std::string(node);
}

bool UinputDevice::send(const std::vector<InputEvent> &events, std::string &error) {
    for (const InputEvent &e : events) {
        const int status = libevdev_uinput_write_event(uinput_, e.type, e.code, e.value);
        if (status != 0) {
            error = std::string(kUinputNode) + ": " + std::strerror(-status);
            return false;
        }
    }
    return true;
}

} // namespace drv::host
