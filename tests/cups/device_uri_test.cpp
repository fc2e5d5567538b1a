// Device URIs as people type them into lpadmin -v.
#include "host/cups/backend/device_uri.h"

#include <gtest/gtest.h>

namespace {

using drv::cups::DeviceUri;
using drv::cups::parseDeviceUri;
using drv::host::FlowControl;

TEST(DeviceUri, SerialLines) {
    struct Case {
        int line;
        const char *uri;
        const char *path;
        int baud;
        int dataBits;
        char parity;
        int stopBits;
        FlowControl flow;
    };
    const Case cases[] = {
        {__LINE__, "drvsuite:/dev/ttyUSB0", "/dev/ttyUSB0", 9600, 8, 'n', 1, FlowControl::None},
        {__LINE__, "drvsuite:/dev/ttyUSB0?baud=9600&flow=xonxoff", "/dev/ttyUSB0", 9600, 8, 'n', 1,
         FlowControl::XonXoff},
        {__LINE__, "drvsuite:///dev/ttyS1?baud=19200&bits=7&parity=even&stop=2&flow=rtscts",
         "/dev/ttyS1", 19200, 7, 'e', 2, FlowControl::RtsCts},
        {__LINE__, "DRVSUITE:/dev/ttyS0?flow=soft&data-bits=7&stop-bits=1&parity=odd", "/dev/ttyS0",
         9600, 7, 'o', 1, FlowControl::XonXoff},
        {__LINE__, "drvsuite:/dev/ttyS0?flow=hard", "/dev/ttyS0", 9600, 8, 'n', 1,
         FlowControl::RtsCts},
        {__LINE__, "drvsuite:/dev/serial/by-id/usb-Maker_Adapter%20A1-if00-port0?baud=2400",
         "/dev/serial/by-id/usb-Maker_Adapter A1-if00-port0", 2400, 8, 'n', 1, FlowControl::None},
        {__LINE__, "drvsuite:/dev/ttyUSB0?&baud=4800&", "/dev/ttyUSB0", 4800, 8, 'n', 1,
         FlowControl::None},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.uri);
        DeviceUri uri;
        std::string error;
        ASSERT_TRUE(parseDeviceUri(c.uri, uri, error)) << error;
        EXPECT_EQ(uri.kind, DeviceUri::Kind::Serial);
        EXPECT_EQ(uri.path, c.path);
        EXPECT_EQ(uri.where(), c.path);
        EXPECT_EQ(uri.serial.baud, c.baud);
        EXPECT_EQ(uri.serial.dataBits, c.dataBits);
        EXPECT_EQ(uri.serial.parity, c.parity);
        EXPECT_EQ(uri.serial.stopBits, c.stopBits);
        EXPECT_EQ(uri.serial.flow, c.flow);
    }
}

TEST(DeviceUri, NetworkPlotters) {
    struct Case {
        int line;
        const char *uri;
        const char *host;
        const char *port;
        const char *where;
        int connectTimeout;
        int stallTimeout;
    };
    const Case cases[] = {
        {__LINE__, "drvsuite://plotter.lab:9100", "plotter.lab", "9100", "plotter.lab:9100",
         7 * 24 * 3600, 30},
        {__LINE__, "drvsuite://192.168.7.20", "192.168.7.20", "9100", "192.168.7.20:9100",
         7 * 24 * 3600, 30},
        {__LINE__, "drvsuite://127.0.0.1:4000/?contimeout=60&stall-timeout=5", "127.0.0.1", "4000",
         "127.0.0.1:4000", 60, 5},
        {__LINE__, "drvsuite://[::1]:9101", "::1", "9101", "[::1]:9101", 7 * 24 * 3600, 30},
        {__LINE__, "drvsuite://[fe80::1%25eth0]", "fe80::1%eth0", "9100", "[fe80::1%eth0]:9100",
         7 * 24 * 3600, 30},
        {__LINE__, "drvsuite://host:0009100?contimeout=0", "host", "9100", "host:9100", 0, 30},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.uri);
        DeviceUri uri;
        std::string error;
        ASSERT_TRUE(parseDeviceUri(c.uri, uri, error)) << error;
        EXPECT_EQ(uri.kind, DeviceUri::Kind::Tcp);
        EXPECT_EQ(uri.host, c.host);
        EXPECT_EQ(uri.port, c.port);
        EXPECT_EQ(uri.where(), c.where);
        EXPECT_EQ(uri.connectTimeout, c.connectTimeout);
        EXPECT_EQ(uri.stallTimeout, c.stallTimeout);
    }
}

// Every refusal names what is wrong, so that lpadmin's user can mend it.
TEST(DeviceUri, BadUrisAreRefusedWithTheReason) {
    struct Case {
        int line;
        const char *uri;
        const char *reason;
    };
    const Case cases[] = {
        {__LINE__, "socket://host:9100", "it must start with drvsuite:"},
        {__LINE__, "drvsuite:", "write drvsuite:/dev/TTY for a serial line"},
        {__LINE__, "drvsuite:ttyUSB0", "write drvsuite:/dev/TTY"},
        {__LINE__, "drvsuite:/dev/", "\"/dev/\" is a folder"},
        {__LINE__, "drvsuite://host:", "the port after ':' is missing"},
        {__LINE__, "drvsuite://host:70000", "the port must be a whole number from 1 to 65535"},
        {__LINE__, "drvsuite://host:ninety", "the port must be a whole number"},
        {__LINE__, "drvsuite://:9100", "no host name"},
        {__LINE__, "drvsuite://::1:9100", "write an IPv6 address in brackets"},
        {__LINE__, "drvsuite://[::1", "no closing ']'"},
        {__LINE__, "drvsuite://[::1]x", "unexpected \"x\" after the IPv6 address"},
        {__LINE__, "drvsuite://user@host", "takes no user name"},
        {__LINE__, "drvsuite://host/queue", "a network plotter's URI takes no path"},
        {__LINE__, "drvsuite://host?baud=9600", "baud= is a serial-line option"},
        {__LINE__, "drvsuite:/dev/ttyS0?baud=fast", "baud must be a whole number"},
        {__LINE__, "drvsuite:/dev/ttyS0?baud=9600x", "baud must be a whole number"},
        {__LINE__, "drvsuite:/dev/ttyS0?bits=9", "bits must be a whole number from 5 to 8"},
        {__LINE__, "drvsuite:/dev/ttyS0?stop=3", "stop must be a whole number from 1 to 2"},
        {__LINE__, "drvsuite:/dev/ttyS0?parity=mark", "parity must be none, even or odd"},
        {__LINE__, "drvsuite:/dev/ttyS0?flow=dtrdsr", "flow must be none, xonxoff (soft) or rtscts"},
        {__LINE__, "drvsuite:/dev/ttyS0?speed=9600", "unknown option \"speed\""},
        {__LINE__, "drvsuite:/dev/ttyS0?baud", "option \"baud\" has no value"},
        {__LINE__, "drvsuite:/dev/ttyS0?baud=9600&baud=4800", "option \"baud\" is given twice"},
        {__LINE__, "drvsuite:/dev/ttyS0?stall-timeout=0", "stall-timeout must be a whole number from 1"},
        {__LINE__, "drvsuite:/dev/tty%zz", "bad percent escape"},
        {__LINE__, "drvsuite:/dev/tty%00", "bad percent escape"},
        {__LINE__, "drvsuite:/dev/ttyS0#x", "takes no fragment"},
        {__LINE__, "drvsuite:/dev/tty\nS0", "holds no control characters"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.uri);
        DeviceUri uri;
        std::string error;
        EXPECT_FALSE(parseDeviceUri(c.uri, uri, error));
        EXPECT_NE(error.find(std::string("bad device URI \"") + c.uri + "\""), std::string::npos)
            << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

} // namespace
