#include "link/serial_link.h"

#include "program_fixture.h"

namespace scantouch {
namespace {

// The program started, so that the port's timers run; what the start-up opened is forgotten.
class SerialLinkTest : public testing::ProgramFixture {
 protected:
  SerialLinkTest() {
    program_.lifecycle().startUp();
    serialPort_.opens = 0;
    serialPort_.opened.clear();
  }
};

std::string StoredPort(ScannerProgram& program) {
  return program.mainSettings().read("串口设置", "端口");
}

TEST_F(SerialLinkTest, EveryChangeOfTheNumberReopensAndStoresIt) {
  form().Text1.setText("2");
  form().Text1.setText("23");  // typed a character at a time
  EXPECT_EQ(serialPort().opened, (std::vector<int>{2, 23}));
  EXPECT_EQ(StoredPort(program_), "23");
  EXPECT_EQ(form().Label1.textColour(), colours::kGreen);

  for (const char* nothing : {"0", "-2", "abc", ""})
    form().Text1.setText(nothing);
  EXPECT_EQ(serialPort().opened.size(), 2u);
  EXPECT_TRUE(serialPort().isOpen());
  EXPECT_EQ(StoredPort(program_), "23");
}

TEST_F(SerialLinkTest, AHalfNumberOpensTheRoundedPortOnceAndIsStoredAsEntered) {
  form().Text1.setText("3.5");
  EXPECT_EQ(serialPort().opened, (std::vector<int>{4}));
  EXPECT_EQ(StoredPort(program_), "3.5");
  loop_.advance(5000);  // the check compares the rounded number: no reopen every second
  EXPECT_EQ(serialPort().opened, (std::vector<int>{4}));
}

TEST_F(SerialLinkTest, ARefusedNumberIsTriedEverySecond) {
  form().Text1.setText("2");
  form().Text1.setText("99999");
  const int opensBefore = serialPort().opens;
  loop_.advance(3000);
  EXPECT_EQ(serialPort().opens - opensBefore, 3);
  EXPECT_EQ(serialPort().portNumber(), 2);  // the old port is reopened each time
  EXPECT_EQ(StoredPort(program_), "99999");
}

TEST_F(SerialLinkTest, APortThatCannotOpenWaitsButALostOneIsTriedAgain) {
  serialPort().absent = true;
  form().Text1.setText("5");
  loop_.advance(3000);
  EXPECT_EQ(serialPort().opens, 1);
  EXPECT_EQ(form().Label1.textColour(), colours::kRed);

  serialPort().absent = false;
  form().Text1.setText("6");
  serialPort().vanish();  // an adapter pulled out
  serialPort().absent = true;
  loop_.advance(1000);
  EXPECT_FALSE(serialPort().isOpen());
  EXPECT_EQ(form().Label1.textColour(), colours::kRed);
  serialPort().absent = false;
  loop_.advance(1000);
  EXPECT_TRUE(serialPort().isOpen());
  EXPECT_EQ(form().Label1.textColour(), colours::kGreen);
}

TEST_F(SerialLinkTest, ThePollAppendsWhatArrivedAsOneBlock) {
  form().Text1.setText("1");
  int passes = 0;
  form().decoder().passed.connect([&] { ++passes; });
  serialPort().waiting = {0x00, 0x0F, 0xFF};
  loop_.advance(100);
  const auto pending = form().decoder().pendingBytes();
  EXPECT_EQ(std::vector<std::uint8_t>(pending.begin(), pending.end()),
            (std::vector<std::uint8_t>{0x00, 0x0F, 0xFF}));
  EXPECT_EQ(passes, 1);
  loop_.advance(100);  // nothing waiting: no decoder pass
  EXPECT_EQ(passes, 1);

  serialPort().close();
  serialPort().waiting = {0x01};
  loop_.advance(100);
  EXPECT_EQ(passes, 1);
}

}  // namespace
}  // namespace scantouch
