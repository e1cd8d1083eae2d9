// The datagram socket of both platforms (this suite also runs under Wine).
#include "platform/udp_socket.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(UdpSocket, OnlyNumericIpv4AddressesAreSentTo) {
    platform::UdpSocket socket;
    const char query[] = "x";
    for (const char* address : {"", "localhost", "256.1.1.1", "::1", "127.0.0.1 "})
        EXPECT_FALSE(socket.sendTo(query, 1, address, 9)) << address;
    EXPECT_TRUE(socket.sendTo(query, 1, "127.0.0.1", 9));
}

TEST(UdpSocket, AReceiveWithNothingToTakeWaitsItsTimeAndNoLonger) {
    platform::UdpSocket socket;
    char buffer[16];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(socket.receive(buffer, sizeof buffer, 120), 0u);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_GE(ms, 100);
    EXPECT_LE(ms, 1000);
}

}  // namespace
