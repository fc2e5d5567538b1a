#include "host/io/serial_line.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/util/ascii_text.h"

namespace drv::host {
namespace {

struct BaudRate {
    int rate;
    speed_t code;
};

constexpr BaudRate kBaudRates[] = {
    {300, B300},     {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},   {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400},
};

constexpr tcflag_t kDataBits[] = {CS5, CS6, CS7, CS8};

bool configure(int fd, const SerialSettings &settings, std::string &error) {
    const BaudRate *baud = nullptr;
    for (const BaudRate &candidate : kBaudRates) {
        if (candidate.rate == settings.baud) {
            baud = &candidate;
        }
    }
    if (baud == nullptr) {
        error = "unsupported baud rate " + std::to_string(settings.baud);
        return false;
    }
    if (settings.dataBits < 5 || settings.dataBits > 8) {
        error = "data bits must be 5 to 8";
        return false;
    }
    if (settings.stopBits != 1 && settings.stopBits != 2) {
        error = "stop bits must be 1 or 2";
        return false;
    }
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        error = std::string("not a serial line: ") + std::strerror(errno);
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | kDataBits[settings.dataBits - 5];
    if (settings.parity != 'n') {
        tio.c_cflag |= PARENB;
        if (settings.parity == 'o') {
            tio.c_cflag |= PARODD;
        }
    }
    if (settings.stopBits == 2) {
        tio.c_cflag |= CSTOPB;
    }
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (settings.flow == FlowControl::XonXoff) {
        // IXON: our output pauses when the device sends XOFF; IXOFF: the
        // line sends XOFF itself when our input buffer fills.
        tio.c_iflag |= IXON | IXOFF;
    } else if (settings.flow == FlowControl::RtsCts) {
        tio.c_cflag |= CRTSCTS;
    }
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, baud->code) != 0 || cfsetospeed(&tio, baud->code) != 0 ||
        tcsetattr(fd, TCSANOW, &tio) != 0) {
        error = std::string("cannot set up the line: ") + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

bool parseFlowControl(std::string_view text, FlowControl &flow) {
    if (equalsIgnoreCase(text, "none")) {
        flow = FlowControl::None;
    } else if (equalsIgnoreCase(text, "xonxoff")) {
        flow = FlowControl::XonXoff;
    } else if (equalsIgnoreCase(text, "rtscts")) {
        flow = FlowControl::RtsCts;
    } else {
        return false;
    }
    return true;
}

bool parseParity(std::string_view text, char &parity) {
    for (const std::string_view name : {"none", "even", "odd"}) {
        if (equalsIgnoreCase(text, name) || equalsIgnoreCase(text, name.substr(0, 1))) {
            parity = name[0];
            return true;
        }
    }
    return false;
}

int openSerialLine(const std::string &path, const SerialSettings &settings, std::string &error) {
    // Opened without waiting: a blocking open of a port whose CLOCAL is
    // off waits for carrier detect, which a plotter on a three-wire cable
    // never raises. Once CLOCAL is set, the line blocks as usual.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return -1;
    }
    if (!configure(fd, settings, error)) {
        error = path + ": " + error;
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = path + ": " + std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace drv::host
