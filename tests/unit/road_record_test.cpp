// The road from received bytes to touches, pixels, clicks, the engine's contacts and TUIO, written
// as text a person reads, one event a line, for a few short streams, and compared with the
// records in tests/golden. Where road_identity_test only says that a digest moved, these say
// which touch, click or TUIO cursor did, in the diff of a file.
//
// Lines come in the order things happened: a touch's pixel, move and click come before its text
// is shown, as the program does them; contacts born or removed with a turn come before what the
// outputs made of that turn.
//
// A change meant to move them: run this test with SCANTOUCH_UPDATE_GOLDEN=1 in the environment,
// which rewrites the records, and commit their diff with the change that made it.

#include <cstdint>
#include <string>
#include <vector>

#include "comma_locale.h"
#include "event_record.h"
#include "example_setup.h"
#include "golden_file.h"
#include "lossy_line.h"
#include "node_stream.h"
#include "program_fixture.h"
#include "recording_datagrams.h"

namespace scantouch {
namespace {

namespace sim = scanner_sim;

constexpr std::int64_t kPoll_ms = 100;  // the serial link's poll: a block arrives for each
constexpr std::int64_t kStep_ms = 10;   // how finely the record's times tell when things happened

std::string GoldenPath(const std::string& name) {
  return std::string(SCANTOUCH_GOLDEN_DIR) + "/" + name + ".txt";
}

sim::StreamSettings Settings(double nodesPerSecond, double revolutionsPerSecond,
                             std::uint32_t seed) {
  sim::StreamSettings settings;
  settings.nodesPerSecond = nodesPerSecond;
  settings.revolutionsPerSecond = revolutionsPerSecond;
  settings.seed = seed;
  return settings;
}

// The datagram sockets outlive the program, whose TUIO output holds sockets of theirs until it
// goes: a base made before the program's fixture goes after it.
struct WithDatagramSockets {
  testing::RecordingDatagramSockets datagrams_;
};

class RoadRecordTest : protected WithDatagramSockets,
                       public testing::ProgramFixture,
                       public TouchFrameSink {
 protected:
  // The program started with `settings` as 系统配置.ini and the worked examples' calibration, every
  // output recorded from here on.
  void start(const std::string& settings = "") {
    if (!settings.empty())
      files_.files["/opt/scantouch/系统配置.ini"] = settings;
    program_.touchOutputs().connectNetwork(datagrams_);
    program_.lifecycle().startUp();
    examples::CalibrateLikeTheExamples(form());
    form().Form1.setVisible(true);
    // What the start itself sent is no part of the road.
    desktop_.actions.clear();
    datagrams_.sent.clear();
    serialPort().written.clear();

    form().TXT当前处理数据.changed.connect(
        [this] { event("touch " + form().TXT当前处理数据.text()); });
    form().txt校正后数据.changed.connect([this] { event("pixel " + form().txt校正后数据.text()); });
    form().Label4.changed.connect([this] { event("rate \"" + form().Label4.caption() + "\""); });
    form().engine().addSink(*this);
  }

  // `bytes` arrive on the serial port, which the program polls within the next 100 ms.
  void receive(const std::vector<std::uint8_t>& bytes) {
    serialPort().waiting.insert(serialPort().waiting.end(), bytes.begin(), bytes.end());
    passTime(kPoll_ms);
  }
  // `seconds` of `stream`, 100 ms of it at each poll, as a scanner sends them.
  void receive(sim::NodeStream& stream, double seconds, sim::LossyLine* line = nullptr) {
    for (int i = 0; i < static_cast<int>(seconds * 1000 / kPoll_ms + 0.5); ++i) {
      std::vector<std::uint8_t> bytes;
      stream.appendSeconds(bytes, static_cast<double>(kPoll_ms) / 1000);
      receive(line ? line->pass(bytes) : bytes);
    }
  }
  void passTime(std::int64_t ms) {
    for (std::int64_t passed = 0; passed < ms; passed += kStep_ms) {
      loop_.advance(kStep_ms);
      drainOutputs();
    }
  }

  // What the test itself does, in the record where it happens.
  void note(const std::string& what) { record_.line("test: " + what); }

  // The record with its header and its last line: what the decoder counted and what waits in it.
  std::string finish(const std::vector<std::string>& header) {
    drainOutputs();
    std::string end = "end nodes " + std::to_string(form().decoder().decodedNodes()) +
                      " no-return " + std::to_string(form().decoder().noReturnNodes()) +
                      " waiting \"" + form().Label2.caption() + "\"";
    record_.line(end);
    std::string text;
    for (const std::string& line : header)
      text += "# " + line + "\n";
    text +=
        "# Made by tests/unit/road_record_test.cpp; each line: the virtual time in ms, then "
        "what happened.\n";
    return text + record_.text();
  }

  std::string twoHandsThroughTheEngine();

  void onTouchFrame(const TouchFrame& frame) override {
    for (const SessionId session : frame.born) {
      for (const Contact& contact : frame.live) {
        if (contact.sessionId == session)
          record_.line(testing::ContactLine("born", contact));
      }
    }
    for (const Contact& contact : frame.removed)
      record_.line(testing::ContactLine("removed", contact));
    // The outputs took the frame before this sink: what they did is written after the births.
    drainOutputs();
  }

 private:
  // A line of the road's own, after whatever the outputs did before it.
  void event(const std::string& text) {
    drainOutputs();
    record_.line(text);
  }
  // What went to the desktop, to TUIO and to the scanner since the last line.
  void drainOutputs() {
    for (const auto& action : desktop_.actions)
      record_.line(testing::ActionLine(action));
    desktop_.actions.clear();
    for (const auto& datagram : datagrams_.sent) {
      for (const std::string& line : testing::TuioLines(datagram.bytes, tuioSource_))
        record_.line(line);
    }
    datagrams_.sent.clear();
    if (!serialPort().written.empty())
      record_.line("sent \"" + serialPort().written + "\"");
    serialPort().written.clear();
  }

  testing::EventRecord record_{loop_};
  std::string tuioSource_;
};

TEST_F(RoadRecordTest, CleanStream) {
  start();
  sim::NodeStream stream(examples::HandInTheRectangle(4), Settings(3600, 10, 1));
  receive(sim::StreamStart(0, 1));
  receive(stream, 3);
  const std::string record =
      finish({"A clean stream: 3600 nodes/s, 10 turns/s, a hand crossing the touch rectangle in",
              "2 s, 100 ms of it at each serial poll; the worked examples' calibration."});
  EXPECT_TRUE(testing::MatchesGoldenFile(GoldenPath("road-clean"), record));
}

TEST_F(RoadRecordTest, LossyStream) {
  start();
  sim::StreamSettings settings = Settings(2000, 5.5, 2);
  settings.angleJitterDegrees = 0.3;
  settings.quality = 15;
  sim::NodeStream stream(examples::HandInTheRectangle(6), settings);
  sim::LossyLine line(0.004, 0.002, 17);
  receive(line.pass(sim::StreamStart(0, 2)));
  receive(stream, 4, &line);
  note("the line lost " + std::to_string(line.lostBytes()) + " bytes and garbled " +
       std::to_string(line.corruptedBytes()));
  const std::string record =
      finish({"A lossy line: 2000 nodes/s, 5.5 turns/s, angles off by up to 0.3 degrees, of the",
              "bytes 0.4 % lost and 0.2 % garbled; a hand crossing the rectangle in 3 s."});
  EXPECT_TRUE(testing::MatchesGoldenFile(GoldenPath("road-lossy"), record));
}

TEST_F(RoadRecordTest, RealLikeStream) {
  start();
  sim::StreamSettings settings = Settings(4000, 8, 3);
  settings.angleJitterDegrees = 0.2;
  settings.distanceNoiseMm = 5;
  settings.noReturnShare = 0.15;
  sim::NodeStream stream(examples::HandInTheRectangle(5), settings);
  receive(sim::StreamStart(13, 3));
  receive(stream, 1.5);
  note("the scanner starts again: a node cut short, then a descriptor");
  receive(sim::StreamStart(9, 4));
  receive(stream, 1);
  note("processing off (CHK处理 cleared)");
  (void)form().CHK处理.setValue(CheckBox::kCleared);
  receive(stream, 0.5);
  note("processing on");
  (void)form().CHK处理.setValue(CheckBox::kChecked);
  receive(stream, 1);
  const std::string record = finish(
      {"A stream as real scanners send it: 4000 nodes/s, 8 turns/s, 15 % no-return nodes,",
       "5 mm of noise, stale bytes before the descriptor, a restart, processing off a while."});
  EXPECT_TRUE(testing::MatchesGoldenFile(GoldenPath("road-real-like"), record));
}

// Two hands, one moving from before the stream until 2.6 s, one still from 1 s to 2 s, then the
// scanner falls silent: contacts born and removed, the button pressed, dragged and released, and
// the TUIO bundles of every turn, and those of the silence.
std::string RoadRecordTest::twoHandsThroughTheEngine() {
  start("[串口设置]\r\n端口=1\r\n[触控引擎]\r\n鼠标模式=1\r\nTUIO目标=127.0.0.1:3333\r\n");
  sim::Scene scene;
  scene.roomDistanceMm = {7000};
  sim::SceneObject moving;
  moving.from = {-1500, -4000};
  moving.to = sim::PlanePoint{-500, -3600};
  moving.period_s = 4;
  moving.diameterMm = 60;
  moving.disappear_s = 2.6;
  sim::SceneObject still;
  still.from = {1200, -3400};
  still.diameterMm = 60;
  still.appear_s = 1;
  still.disappear_s = 2;
  scene.objects = {moving, still};
  sim::StreamSettings settings = Settings(2000, 5.5, 8);
  settings.distanceNoiseMm = 3;
  sim::NodeStream stream(scene, settings);
  receive(sim::StreamStart(0, 8));
  receive(stream, 3);
  note("the scanner falls silent");
  passTime(1500);
  return finish(
      {"The touch engine, mouse mode 1 (press, drag, release) and TUIO to 127.0.0.1:3333:",
       "2000 nodes/s, 5.5 turns/s; a hand moving until 2.6 s, a still one from 1 s to 2 s;",
       "then 1.5 s of silence."});
}

TEST_F(RoadRecordTest, TouchEngineWithTuioAndTheMouse) {
  EXPECT_TRUE(
      testing::MatchesGoldenFile(GoldenPath("road-engine-tuio"), twoHandsThroughTheEngine()));
}

// A GUI toolkit sets the locale from the environment: neither the program's captions nor the
// record may then write its numbers with a comma.
TEST_F(RoadRecordTest, TheSameWhereNumbersAreWrittenWithADecimalComma) {
  testing::CommaLocale comma;
  if (!comma.available())
    GTEST_SKIP() << testing::CommaLocale::kMissing;
  // Only compared: the record is written by the test above.
  EXPECT_TRUE(
      testing::ComparedWithGoldenFile(GoldenPath("road-engine-tuio"), twoHandsThroughTheEngine()));
}

}  // namespace
}  // namespace scantouch
