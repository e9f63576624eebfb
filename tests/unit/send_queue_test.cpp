#include "link/send_entry.h"

#include "program_fixture.h"

namespace scantouch {
namespace {

using SendQueueTest = testing::ProgramFixture;

std::vector<std::string> Queue(TcpChannel& channel) {
  return channel.TxtTcpTx.list().entries();
}

TEST_F(SendQueueTest, EveryChangeOfTheSendBoxQueuesItsText) {
  network().ensureLoaded();
  for (const char* typed : {"A", "AB", "ABC", "", "发送缓存:x"})
    channel().TxtTcpTx.setText(typed);
  EXPECT_EQ(Queue(channel()), (std::vector<std::string>{"A", "AB", "ABC"}));
  for (int i = 0; i < 1000; ++i)
    channel().TxtTcpTx.setText(std::to_string(i));
  EXPECT_EQ(channel().TxtTcpTx.list().size(), NetworkForm::kMaxQueuedEntries);
  EXPECT_EQ(Queue(channel()).front(), "0");
}

TEST(SendEntry, HexEntriesAreBytesAndOthersText) {
  Utf8Codec codec;
  EXPECT_EQ(BytesOfEntry("HEX A5 5A", codec), std::string("\xA5\x5A"));
  EXPECT_EQ(BytesOfEntry("HEX 5", codec), std::string("\x05"));
  EXPECT_EQ(BytesOfEntry("HEX ZZ", codec), std::string(1, '\0'));
  EXPECT_EQ(BytesOfEntry("HEXA5", codec), "HEXA5");
  EXPECT_EQ(BytesOfEntry("hex A5", codec), "hex A5");
  EXPECT_EQ(BytesOfEntry("HEX ", codec), std::nullopt);
  std::string many = "HEX";
  for (int i = 0; i < 300; ++i)
    many += " 7F";
  EXPECT_EQ(BytesOfEntry(many, codec)->size(), 300u);
}

TEST(SendEntry, PoliciesAreKnownByBothTheirNames) {
  EXPECT_EQ(PolicyNamed("忽略放弃本条"), SendFailurePolicy::ignore);
  EXPECT_EQ(PolicyNamed("尝试循环"), SendFailurePolicy::keepTrying);
  EXPECT_EQ(PolicyNamed("只发最后一条"), SendFailurePolicy::onlyNewest);
  EXPECT_EQ(PolicyNamed("忽略 "), SendFailurePolicy::unknown);
}

TEST_F(SendQueueTest, EachEntryGoesOutOncePerConnectionAndLeavesOnItsCompletion) {
  configureChannel();
  channel().CMB发送失败处理方法.setText("尝试发送循环");
  for (const char* command : {":SCAN.", ":STOP.", "HEX A5 20"})
    channel().TxtTcpTx.setText(command);
  connectChannel();
  loop_.advance(20);  // many send ticks, one transmission
  EXPECT_EQ(socket().sent, (std::vector<std::string>{":SCAN."}));
  EXPECT_EQ(channel().sendStatus, "SendData");

  socket().complete();
  socket().complete();  // a stray completion removes nothing unsent
  EXPECT_EQ(Queue(channel()), (std::vector<std::string>{":STOP.", "HEX A5 20"}));
  EXPECT_EQ(channel().sendStatus, "SendComplete");
  loop_.advance(5);
  socket().complete();
  loop_.advance(5);
  EXPECT_EQ(socket().sent, (std::vector<std::string>{":SCAN.", ":STOP.", std::string("\xA5\x20")}));

  // No completion before the idle time-out: the entry stays and goes again on the next connection.
  loop_.advance(16000);
  EXPECT_EQ(socket().closes, 1);
  EXPECT_EQ(channel().sendStatus, "SendErr");
  loop_.advance(1000);
  socket().accept();
  loop_.advance(5);
  EXPECT_EQ(socket().sent.back(), std::string("\xA5\x20"));
  EXPECT_EQ(socket().sent.size(), 4u);
}

TEST_F(SendQueueTest, TheIgnorePolicyDropsAnEntryPerTickWhileDisconnected) {
  configureChannel();
  for (const char* command : {"1", "2", "3"})
    channel().TxtTcpTx.setText(command);
  loop_.advance(2);
  EXPECT_EQ(Queue(channel()), (std::vector<std::string>{"3"}));
  channel().CMB发送失败处理方法.setText("尝试发送循环");
  loop_.advance(100);
  EXPECT_EQ(Queue(channel()), (std::vector<std::string>{"3"}));
  EXPECT_FALSE(network().TmrTcp发送.enabled());  // nothing to do: the 1 ms timer rests
}

struct PolicyCase {
  const char* name;  // for the test's name: ASCII, as CTest and --gtest_filter want it
  const char* policy;
  std::vector<std::string> left;
};

// What CTest shows of a case, instead of its bytes.
void PrintTo(const PolicyCase& policy, std::ostream* out) {
  *out << policy.name;
}

class PolicyAtExpiryTest : public testing::ProgramFixture,
                           public ::testing::WithParamInterface<PolicyCase> {};

TEST_P(PolicyAtExpiryTest, ActsOnTheQueueWhenTheIdleTimeOutExpires) {
  configureChannel();
  channel().CMB发送失败处理方法.setText(GetParam().policy);
  dialogs_.answer = false;
  connectChannel();
  for (const char* command : {"1", "2", "3", "4", "5"})
    channel().TxtTcpTx.setText(command);
  loop_.advance(15000);
  EXPECT_EQ(Queue(channel()), GetParam().left) << GetParam().policy;
}

INSTANTIATE_TEST_SUITE_P(
    EveryPolicy, PolicyAtExpiryTest,
    ::testing::Values(PolicyCase{"Ignore", "忽略", {"2", "3", "4", "5"}},
                      PolicyCase{"RetryForever", "尝试发送循环", {"1", "2", "3", "4", "5"}},
                      PolicyCase{"RetryUntilNewData", "尝试发送到有新数据", {"2", "3", "4", "5"}},
                      PolicyCase{"OnlyTheLast", "只发送最后一条", {"5"}},
                      PolicyCase{"AskTheUser", "提示人工选择", {"2", "3", "4", "5"}},
                      PolicyCase{"FiveTries", "计划功能：尝试发送5次", {"1", "2", "3", "4", "5"}},
                      PolicyCase{"Unknown", "不认识", {"1", "2", "3", "4", "5"}}),
    [](const ::testing::TestParamInfo<PolicyCase>& policy) {
      return std::string(policy.param.name);
    });

TEST_F(SendQueueTest, TryUntilNewerDataKeepsASingleEntryAndAskingYesKeepsIt) {
  configureChannel();
  connectChannel();
  channel().CMB发送失败处理方法.setText("尝试发送到有新数据");
  channel().TxtTcpTx.setText("only");
  loop_.advance(16000);
  EXPECT_EQ(Queue(channel()), (std::vector<std::string>{"only"}));

  channel().CMB发送失败处理方法.setText("提示人工选择");
  dialogs_.answer = true;
  loop_.advance(16000);
  EXPECT_EQ(dialogs_.asked, (std::vector<std::string>{"是否重新发送？"}));
  EXPECT_EQ(Queue(channel()), (std::vector<std::string>{"only"}));
}

TEST_F(SendQueueTest, AnEmptyHexEntryIsDroppedAndDoesNotBlockTheQueue) {
  configureChannel();
  channel().CMB发送失败处理方法.setText("尝试发送循环");
  channel().TxtTcpTx.setText("HEX ");
  channel().TxtTcpTx.setText(":SCAN.");
  connectChannel();
  loop_.advance(5);
  EXPECT_EQ(socket().sent, (std::vector<std::string>{":SCAN."}));
}

}  // namespace
}  // namespace scantouch
