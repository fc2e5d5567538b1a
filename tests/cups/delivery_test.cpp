// Delivery to a network plotter: whole jobs, stalls reported and cleared,
// a plotter that goes away mid-job, and giving up on a stalled raw job.
#include "host/cups/backend/delivery.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "loopback_listener.h"
#include "host/io/tcp_stream.h"

namespace {

using namespace std::chrono_literals;
using drv::cups::byteCount;
using drv::cups::Delivery;
using drv::cups::LinkKind;
using drv::cups::StatusLines;
using drv::test::LoopbackListener;

// The status lines go to a file the test reads while the delivery runs.
class DeliveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        statusFile_ = std::tmpfile();
        ASSERT_NE(statusFile_, nullptr);
    }
    void TearDown() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        std::fclose(statusFile_);
    }
    int connect(const LoopbackListener &listener) {
        std::string error;
        fd_ = drv::host::connectTcp("127.0.0.1", std::to_string(listener.port()), error);
        EXPECT_GE(fd_, 0) << error;
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
        return fd_;
    }
    std::string status() const {
        std::fflush(statusFile_);
        std::string text;
        char buffer[4096];
        const int fd = ::fileno(statusFile_);
        for (off_t at = 0;;) {
            const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
            if (n <= 0) {
                return text;
            }
            text.append(buffer, static_cast<std::size_t>(n));
            at += n;
        }
    }
    std::FILE *statusFile_ = nullptr;
    int fd_ = -1;
};

std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

TEST(ByteCount, ReadsLikeATransferSize) {
    const std::pair<std::uint64_t, const char *> cases[] = {
        {0, "0 bytes"},          {1, "1 byte"},         {999, "999 bytes"},
        {1000, "1.0 kB"},        {1234, "1.2 kB"},      {999'949, "999.9 kB"},
        {999'950, "1.0 MB"},     {1'200'000, "1.2 MB"}, {4'900'000'000, "4.9 GB"},
    };
    for (const auto &[bytes, text] : cases) {
        EXPECT_EQ(byteCount(bytes), text) << bytes;
    }
}

TEST_F(DeliveryTest, WholeJobArrivesAndTheConnectionIsClosedCleanly) {
    LoopbackListener listener;
    StatusLines lines(statusFile_);
    Delivery delivery(connect(listener), LinkKind::Socket, "plotter", 30, lines);
    const std::string job = pattern(300'000);
    std::string error;
    ASSERT_TRUE(delivery.send(reinterpret_cast<const std::uint8_t *>(job.data()), job.size(), error))
        << error;
    ASSERT_TRUE(delivery.finish(error)) << error;
    EXPECT_EQ(delivery.sent(), job.size());
    const std::vector<std::string> jobs = listener.waitForJobs(1, 5s);
    ASSERT_EQ(jobs.size(), 1U);
    EXPECT_TRUE(jobs[0] == job);
    EXPECT_EQ(status().find("not reading"), std::string::npos) << status();
}

TEST_F(DeliveryTest, AStallIsReportedWhileItLastsAndClearedWhenThePlotterReadsAgain) {
    LoopbackListener listener(true, 4096);
    listener.stall(100'000);
    StatusLines lines(statusFile_);
    Delivery delivery(connect(listener), LinkKind::Socket, "plotter", 1, lines, 0);
    const std::string job = pattern(8'000'000);
    std::string error;
    bool sent = false;
    std::thread sender([&] {
        sent = delivery.send(reinterpret_cast<const std::uint8_t *>(job.data()), job.size(), error);
    });
    // Two stall periods: the message is renewed with the time so far.
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (status().find("plotter not reading for 2 s") == std::string::npos &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(50ms);
    }
    const std::string stalled = status();
    EXPECT_NE(stalled.find("STATE: +offline-report\n"), std::string::npos) << stalled;
    EXPECT_NE(stalled.find("INFO: plotter not reading for 1 s (sent "), std::string::npos) << stalled;
    EXPECT_NE(stalled.find("INFO: plotter not reading for 2 s (sent "), std::string::npos) << stalled;
    EXPECT_NE(stalled.find("ATTR: printer-alert-description='plotter not reading for 1 s"),
              std::string::npos)
        << stalled;
    listener.resume();
    sender.join();
    ASSERT_TRUE(sent) << error;
    ASSERT_TRUE(delivery.finish(error)) << error;
    const std::string after = status();
    EXPECT_NE(after.find("STATE: -offline-report\n"), std::string::npos) << after;
    EXPECT_NE(after.find("INFO: plotter reading again (sent "), std::string::npos) << after;
    const std::vector<std::string> jobs = listener.waitForJobs(1, 10s);
    ASSERT_EQ(jobs.size(), 1U);
    EXPECT_TRUE(jobs[0] == job) << "received " << jobs[0].size() << " bytes";
}

TEST_F(DeliveryTest, APlotterThatGoesAwaySaysHowFarTheJobGot) {
    LoopbackListener listener(true, 4096);
    listener.stall(50'000);
    StatusLines lines(statusFile_);
    Delivery delivery(connect(listener), LinkKind::Socket, "plotter:9100", 30, lines);
    const std::string job = pattern(8'000'000);
    std::string error;
    bool sent = true;
    std::thread sender([&] {
        sent = delivery.send(reinterpret_cast<const std::uint8_t *>(job.data()), job.size(), error);
    });
    ASSERT_TRUE(listener.waitForBytes(50'000, 10s));
    std::this_thread::sleep_for(200ms);
    listener.hangUp();
    sender.join();
    EXPECT_FALSE(sent);
    EXPECT_NE(error.find("plotter:9100: Connection reset by peer after "), std::string::npos)
        << error;
}

TEST_F(DeliveryTest, ARaiseFlagEndsTheWaitOfAStalledDelivery) {
    LoopbackListener listener(true, 4096);
    listener.stall();
    StatusLines lines(statusFile_);
    Delivery delivery(connect(listener), LinkKind::Socket, "plotter", 30, lines);
    const std::string job = pattern(8'000'000);
    volatile std::sig_atomic_t giveUp = 0;
    std::string error;
    bool sent = true;
    std::thread sender([&] {
        sent = delivery.send(reinterpret_cast<const std::uint8_t *>(job.data()), job.size(), error,
                             &giveUp);
    });
    std::this_thread::sleep_for(300ms);
    giveUp = 1;
    sender.join();
    EXPECT_FALSE(sent);
    EXPECT_NE(error.find("stopped with "), std::string::npos) << error;
}

} // namespace
