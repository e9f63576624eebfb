#include "link/machine_address.h"

#include <gtest/gtest.h>

namespace scantouch {
namespace {

TEST(MachineAddress, TheFirstAddressOnANetworkElseTheLoopback) {
  EXPECT_EQ(MachineAddress({"127.0.0.1", "127.0.1.1", "192.168.0.20", "10.0.0.5"}), "192.168.0.20");
  // Every 127.x address is this machine's own loop, not a network's.
  EXPECT_EQ(MachineAddress({"127.0.1.1"}), "127.0.0.1");
  EXPECT_EQ(MachineAddress({}), "127.0.0.1");
  EXPECT_EQ(MachineAddress({"", "172.16.0.2"}), "172.16.0.2");
}

}  // namespace
}  // namespace scantouch
