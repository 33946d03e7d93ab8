#include "net/server_address.h"

#include <gtest/gtest.h>

#include <string>

namespace lumetra {
namespace {

TEST(ServerAddress, OptionalPort) {
    std::string host;
    int port = 0;
    SplitServerAddress("ftp.example.org", host, port);
    EXPECT_EQ(host, "ftp.example.org");
    EXPECT_EQ(port, 21);
    SplitServerAddress("127.0.0.1:2121", host, port);
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 2121);
    for (const char* odd : {"host:", ":21", "host:99999", "host:2x", "host:0", "fe80::1"}) {
        SplitServerAddress(odd, host, port);
        EXPECT_EQ(host, odd);
        EXPECT_EQ(port, 21);
    }
}

}  // namespace
}  // namespace lumetra
