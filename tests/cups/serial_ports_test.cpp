// Device discovery on a made-up /dev: which nodes are offered, under which
// name, and how the listing reads for CUPS.
#include "host/cups/backend/serial_ports.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using drv::cups::deviceListing;
using drv::cups::findSerialPorts;
using drv::cups::SerialPort;

class SerialPorts : public ::testing::Test {
protected:
    void SetUp() override {
        dev_ = fs::temp_directory_path() / ("drvsuite_dev_" + std::to_string(::getpid()));
        fs::remove_all(dev_);
        fs::create_directories(dev_ / "serial/by-id");
    }
    void TearDown() override { fs::remove_all(dev_); }
    // A node that is a character device (without a UART behind it).
    void node(const std::string &name) const { fs::create_symlink("/dev/null", dev_ / name); }
    fs::path dev_;
};

TEST_F(SerialPorts, OffersAdaptersByTheirStableNames) {
    node("ttyUSB1");
    node("ttyUSB0");
    node("ttyUSB10");
    node("ttyACM0");
    node("ttyS0");     // no UART behind /dev/null: left out
    node("ttyUSBfoo"); // not a kernel tty name
    node("tty0");      // a virtual console
    std::ofstream(dev_ / "ttyUSB2") << "not a device";
    fs::create_symlink("../../ttyUSB1", dev_ / "serial/by-id/usb-Maker_Adapter_A1-if00-port0");

    const std::vector<SerialPort> ports = findSerialPorts(dev_.string());
    ASSERT_EQ(ports.size(), 4U);
    EXPECT_EQ(ports[0].kernel, "ttyACM0");
    EXPECT_EQ(ports[0].kind, "USB modem-class");
    EXPECT_EQ(ports[1].kernel, "ttyUSB0");
    EXPECT_EQ(ports[1].path, (dev_ / "ttyUSB0").string());
    EXPECT_EQ(ports[2].kernel, "ttyUSB1");
    EXPECT_EQ(ports[2].path, (dev_ / "serial/by-id/usb-Maker_Adapter_A1-if00-port0").string());
    EXPECT_EQ(ports[3].kernel, "ttyUSB10"); // after 1, not between 1 and 2
}

TEST_F(SerialPorts, ListingHasOneLinePerPortAndTheNetworkEntry) {
    const std::string listing =
        deviceListing({{"/dev/ttyUSB0", "ttyUSB0", "USB serial"},
                       {"/dev/serial/by-id/usb-A \"B\"-if00", "ttyUSB1", "USB serial"}});
    EXPECT_EQ(listing,
              "serial drvsuite:/dev/ttyUSB0 \"Unknown\" \"Plotter on ttyUSB0 (USB serial)\"\n"
              "serial drvsuite:/dev/serial/by-id/usb-A%20%22B%22-if00 \"Unknown\" "
              "\"Plotter on ttyUSB1 (USB serial)\"\n"
              "network drvsuite \"Unknown\" \"Network plotter (raw TCP, drvsuite://HOST:PORT)\"\n");
}

TEST_F(SerialPorts, NoFolderNoPorts) {
    EXPECT_TRUE(findSerialPorts((dev_ / "missing").string()).empty());
}

} // namespace
