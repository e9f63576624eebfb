#include "outputs/tuio_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string_view>
#include <vector>

#include "osc_reading.h"

namespace scantouch {
namespace {

using namespace std::string_view_literals;
using testing::ReadTuioBundle;

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

Contact MakeContact(SessionId session, double u, double v) {
  Contact contact;
  contact.sessionId = session;
  contact.u = u;
  contact.v = v;
  return contact;
}

// The engine's ids as they are, as a TUIO output that starts at 0 sends the first ones.
std::vector<std::int32_t> Ids(const std::vector<Contact>& contacts) {
  std::vector<std::int32_t> ids;
  for (const Contact& contact : contacts)
    ids.push_back(static_cast<std::int32_t>(contact.sessionId));
  return ids;
}

std::vector<Contact> ManyContacts(std::size_t count) {
  std::vector<Contact> contacts;
  for (std::size_t i = 0; i < count; ++i)
    contacts.push_back(
        MakeContact(100 + i, 0.001 * static_cast<double>(i), 1 - 0.001 * static_cast<double>(i)));
  return contacts;
}

TEST(TuioEncoder, WritesOneContactAsTheBytesOfATuioCursorBundle) {
  Contact contact = MakeContact(7, 0.5, 0.25);
  contact.velocityU = 1.0;
  contact.velocityV = -2.0;
  contact.acceleration = 0.0;
  const TuioDatagrams encoded =
      TuioEncoder().encode(std::vector<Contact>{contact}, Ids({contact}), 3);
  ASSERT_EQ(encoded.datagrams.size(), 1u);
  EXPECT_EQ(encoded.contactsLeftOut, 0u);
  const auto expected = Bytes(
      "#bundle\0"
      "\0\0\0\0\0\0\0\x01"
      // source
      "\0\0\0\x24"
      "/tuio/2Dcur\0"
      ",ss\0"
      "source\0\0"
      "scantouch\0\0\0"
      // alive 7
      "\0\0\0\x1c"
      "/tuio/2Dcur\0"
      ",si\0"
      "alive\0\0\0"
      "\0\0\0\x07"
      // set s x y X Y m
      "\0\0\0\x34"
      "/tuio/2Dcur\0"
      ",sifffff\0\0\0\0"
      "set\0"
      "\0\0\0\x07"
      "\x3f\0\0\0"
      "\x3e\x80\0\0"
      "\x3f\x80\0\0"
      "\xc0\0\0\0"
      "\0\0\0\0"
      // fseq 3
      "\0\0\0\x1c"
      "/tuio/2Dcur\0"
      ",si\0"
      "fseq\0\0\0\0"
      "\0\0\0\x03"sv);
  EXPECT_EQ(encoded.datagrams[0], expected);
}

TEST(TuioEncoder, WritesNoContactsAsAnEmptyAliveList) {
  const TuioDatagrams encoded = TuioEncoder().encode({}, {}, kTuioIdleFrame);
  ASSERT_EQ(encoded.datagrams.size(), 1u);
  const std::vector<std::uint8_t>& bytes = encoded.datagrams[0];
  const auto alive = Bytes(
      "\0\0\0\x18"
      "/tuio/2Dcur\0"
      ",s\0\0"
      "alive\0\0\0"sv);
  const auto fseq = Bytes(
      "fseq\0\0\0\0"
      "\xff\xff\xff\xff"sv);
  EXPECT_TRUE(std::search(bytes.begin(), bytes.end(), alive.begin(), alive.end()) != bytes.end());
  EXPECT_TRUE(std::equal(fseq.rbegin(), fseq.rend(), bytes.rbegin()));
  const auto read = ReadTuioBundle(bytes);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->source, "scantouch");
  EXPECT_TRUE(read->alive.empty());
  EXPECT_TRUE(read->sets.empty());
  EXPECT_EQ(read->frame, -1);
}

TEST(TuioEncoder, SplitsALargeFrameIntoBundlesWithTheSameFrameAndTheWholeAliveList) {
  const std::vector<Contact> contacts = ManyContacts(60);
  const TuioDatagrams encoded = TuioEncoder().encode(contacts, Ids(contacts), 42);
  ASSERT_GT(encoded.datagrams.size(), 1u);
  EXPECT_EQ(encoded.contactsLeftOut, 0u);

  std::vector<std::int32_t> allIds;
  for (const Contact& contact : contacts)
    allIds.push_back(static_cast<std::int32_t>(contact.sessionId));
  std::vector<std::int32_t> setIds;
  for (const auto& datagram : encoded.datagrams) {
    EXPECT_LE(datagram.size(), kMaxTuioDatagramBytes);
    const auto read = ReadTuioBundle(datagram);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->frame, 42);
    EXPECT_EQ(read->source, "scantouch");
    EXPECT_EQ(read->alive, allIds);
    EXPECT_FALSE(read->sets.empty());
    for (const testing::TuioCursor& set : read->sets) {
      setIds.push_back(set.session);
      const Contact& contact = contacts[static_cast<std::size_t>(set.session - 100)];
      EXPECT_FLOAT_EQ(set.x, static_cast<float>(contact.u));
      EXPECT_FLOAT_EQ(set.y, static_cast<float>(contact.v));
    }
  }
  EXPECT_EQ(setIds, allIds);  // every contact once, in order
}

TEST(TuioEncoder, KeepsTheOldestContactsWhenEvenTheAliveListWouldNotFit) {
  const TuioEncoder encoder;
  ASSERT_GT(encoder.maxContacts(), 200u);  // far more than fingers fit around a scanner
  const std::vector<Contact> contacts = ManyContacts(encoder.maxContacts() + 5);
  const TuioDatagrams encoded = encoder.encode(contacts, Ids(contacts), 9);
  EXPECT_EQ(encoded.contactsLeftOut, 5u);
  std::size_t sets = 0;
  for (const auto& datagram : encoded.datagrams) {
    EXPECT_LE(datagram.size(), kMaxTuioDatagramBytes);
    const auto read = ReadTuioBundle(datagram);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->alive.size(), encoder.maxContacts());
    EXPECT_EQ(read->alive.front(), 100);
    sets += read->sets.size();
  }
  EXPECT_EQ(sets, encoder.maxContacts());

  // The limit is tight: at the most contacts, no datagram has room for a second set.
  const std::vector<Contact> most = ManyContacts(encoder.maxContacts());
  const TuioDatagrams largest = encoder.encode(most, Ids(most), 9);
  EXPECT_EQ(largest.contactsLeftOut, 0u);
  EXPECT_GT(largest.datagrams.back().size() + 4 + 52, kMaxTuioDatagramBytes);
}

TEST(TuioEncoder, SendsZeroForValuesThatAreNotNumbers) {
  Contact contact = MakeContact(1, std::numeric_limits<double>::quiet_NaN(), 0.5);
  contact.velocityU = std::numeric_limits<double>::infinity();
  const auto read = ReadTuioBundle(
      TuioEncoder().encode(std::vector<Contact>{contact}, Ids({contact}), 1).datagrams[0]);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->sets.size(), 1u);
  EXPECT_EQ(read->sets[0].x, 0.0f);
  EXPECT_EQ(read->sets[0].y, 0.5f);
  EXPECT_EQ(read->sets[0].velocityX, 0.0f);
}

}  // namespace
}  // namespace scantouch
