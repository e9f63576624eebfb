#include "outputs/osc_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace scantouch::osc {
namespace {

using namespace std::string_view_literals;

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(OscMessage, PadsStringsToFourBytesAndWritesNumbersBigEndian) {
  Message message("/a");
  message.addInt32(1).addFloat32(1.0f).addString("hi").addInt32(-2).addFloat32(-0.375f);
  message.addString("four");  // a string of four needs four more bytes for its end
  const auto expected = Bytes(
      "/a\0\0"
      ",ifsifs\0"
      "\x00\x00\x00\x01"
      "\x3f\x80\x00\x00"
      "hi\0\0"
      "\xff\xff\xff\xfe"
      "\xbe\xc0\x00\x00"
      "four\0\0\0\0"sv);
  EXPECT_EQ(message.bytes(), expected);
  EXPECT_EQ(message.size(), expected.size());
  EXPECT_EQ(message.typeTags(), ",ifsifs");

  // Type tags of exactly four characters get a whole word of zeros after them.
  Message bare("/abc");
  bare.addInt32(0).addInt32(0).addInt32(0);
  EXPECT_EQ(bare.bytes(), Bytes("/abc\0\0\0\0"
                                ",iii\0\0\0\0"
                                "\0\0\0\0\0\0\0\0\0\0\0\0"sv));
}

TEST(OscMessage, CutsAStringAtItsFirstZeroByte) {
  Message message("/x");
  message.addString("ab\0cd"sv);
  EXPECT_EQ(message.bytes(), Bytes("/x\0\0"
                                   ",s\0\0"
                                   "ab\0\0"sv));
}

TEST(OscBundle, IsHeaderTimeTagAndSizePrefixedMessages) {
  Bundle bundle;
  EXPECT_EQ(bundle.bytes(), Bytes("#bundle\0"
                                  "\0\0\0\0\0\0\0\x01"sv));
  Message first("/a");
  first.addInt32(5);
  Message second("/bb");
  bundle.add(first);
  bundle.add(second);
  const auto expected = Bytes(
      "#bundle\0"
      "\0\0\0\0\0\0\0\x01"
      "\0\0\0\x0c"
      "/a\0\0"
      ",i\0\0"
      "\0\0\0\x05"
      "\0\0\0\x08"
      "/bb\0"
      ",\0\0\0"sv);
  EXPECT_EQ(bundle.bytes(), expected);
  EXPECT_EQ(bundle.size(), expected.size());
  EXPECT_EQ(bundle.messageCount(), 2u);

  Bundle timed(0x0102030405060708ull);
  EXPECT_EQ(timed.bytes(), Bytes("#bundle\0"
                                 "\x01\x02\x03\x04\x05\x06\x07\x08"sv));
}

}  // namespace
}  // namespace scantouch::osc
