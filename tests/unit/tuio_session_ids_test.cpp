#include "outputs/tuio_session_ids.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace scantouch {
namespace {

std::vector<Contact> Live(std::vector<SessionId> sessions) {
  std::vector<Contact> live;
  for (const SessionId session : sessions) {
    Contact contact;
    contact.sessionId = session;
    live.push_back(contact);
  }
  return live;
}

std::vector<std::int32_t> Assign(TuioSessionIds& ids, std::vector<SessionId> sessions) {
  const std::vector<Contact> live = Live(std::move(sessions));
  const auto assigned = ids.assign(live);
  return {assigned.begin(), assigned.end()};
}

using Ids = std::vector<std::int32_t>;
constexpr SessionId k2To31 = SessionId{1} << 31;

TEST(TuioSessionIds, AreTheEnginesIdsUntilTheyPassThirtyOneBitsAndNeverZeroNorNegative) {
  TuioSessionIds ids;
  EXPECT_EQ(Assign(ids, {1, 2}), (Ids{1, 2}));
  EXPECT_EQ(Assign(ids, {k2To31 - 1}), (Ids{0x7fffffff}));
  EXPECT_EQ(Assign(ids, {k2To31}), (Ids{1}));
  EXPECT_EQ(Assign(ids, {SessionId{1} << 32}), (Ids{2}));
  EXPECT_EQ(Assign(ids, {~SessionId{0}}), (Ids{3}));  // 2^64 is 4 modulo 2^31-1
}

TEST(TuioSessionIds, AContactKeepsItsIdAndNoAliveListNamesOneTwice) {
  TuioSessionIds ids;
  EXPECT_EQ(Assign(ids, {1, 2}), (Ids{1, 2}));
  // Born 2^31-1 births later, these would get 1 and 2 again: both are taken.
  EXPECT_EQ(Assign(ids, {1, 2, k2To31, k2To31 + 1}), (Ids{1, 2, 3, 4}));
  EXPECT_EQ(Assign(ids, {2, k2To31 + 1}), (Ids{2, 4}));
  EXPECT_EQ(Assign(ids, {2, k2To31 + 1, k2To31 + 2}), (Ids{2, 4, 3}));
  // At the top of the range the search goes on from 1.
  TuioSessionIds top;
  EXPECT_EQ(Assign(top, {k2To31 - 1, 2 * k2To31 - 2}), (Ids{0x7fffffff, 1}));
  // Those gone are forgotten: their ids are free again.
  EXPECT_EQ(Assign(ids, {}), Ids{});
  EXPECT_EQ(Assign(ids, {k2To31 + 2}), (Ids{3}));
}

TEST(TuioSessionIds, TwoProgramsStartFarApartAndTheSourceNamesTheHost) {
  const std::uint64_t start = TuioSessionStart(1'700'000'000'000, "wall-1");
  EXPECT_LT(start, TuioSessionIds::kRange);
  TuioSessionIds ids(start);
  const std::int32_t first = Assign(ids, {1})[0];
  EXPECT_GT(first, 0);
  EXPECT_EQ(Assign(ids, {1, 2})[1], first == 0x7fffffff ? 1 : first + 1);

  // Started together on two machines, or one after the other on one.
  std::set<std::uint64_t> starts{start, TuioSessionStart(1'700'000'000'000, "wall-2"),
                                 TuioSessionStart(1'700'000'000'001, "wall-1"),
                                 TuioSessionStart(1'700'000'001'000, "wall-1")};
  ASSERT_EQ(starts.size(), 4u);
  for (auto a = starts.begin(); a != starts.end(); ++a) {
    for (auto b = std::next(a); b != starts.end(); ++b)
      EXPECT_GT(*b - *a, 1'000'000u) << "a million touches apart at least";
  }

  EXPECT_EQ(TuioSourceName("wall-1"), "scantouch@wall-1");
  EXPECT_EQ(TuioSourceName(""), "scantouch");
}

}  // namespace
}  // namespace scantouch
