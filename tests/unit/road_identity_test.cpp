// The whole road, from bytes a link receives to the published touch, its desktop pixel and the
// scan rate, on the program as it runs: every stream is handed to the serial port (or a network
// channel) in blocks of varied sizes and the program's own timers poll it. Everything the road
// shows or does is written into a record whose digest must stay as it is; a change of the road
// that is meant to change what it publishes changes a digest here, on purpose and explained.
//
// With SCANTOUCH_ROAD_RECORD_DIR set, each stream's record is also written there as text, to see
// which lines a change moved.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "example_setup.h"
#include "lossy_line.h"
#include "node_stream.h"
#include "program_fixture.h"

namespace scantouch {
namespace {

using Action = testing::RecordingDesktopInput::Action;

std::uint64_t Fnv1a(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

// A stream cut into blocks of 1 to `largest` bytes, as links deliver them: anywhere, not at nodes.
std::vector<std::vector<std::uint8_t>> CutIntoBlocks(const std::vector<std::uint8_t>& bytes,
                                                     std::uint32_t seed, std::size_t largest) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::size_t> size(1, largest);
  std::vector<std::vector<std::uint8_t>> blocks;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t n = std::min(size(random), bytes.size() - at);
    blocks.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  }
  return blocks;
}

scanner_sim::StreamSettings Settings(double nodesPerSecond, double revolutionsPerSecond,
                                     std::uint32_t seed) {
  scanner_sim::StreamSettings settings;
  settings.nodesPerSecond = nodesPerSecond;
  settings.revolutionsPerSecond = revolutionsPerSecond;
  settings.seed = seed;
  return settings;
}

std::vector<std::uint8_t> Seconds(scanner_sim::NodeStream& stream, double seconds) {
  std::vector<std::uint8_t> bytes;
  stream.appendSeconds(bytes, seconds);
  return bytes;
}

void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

class RoadIdentityTest : public testing::ProgramFixture {
 protected:
  enum class Link { serial, network };

  RoadIdentityTest() {
    program_.lifecycle().startUp();
    examples::CalibrateLikeTheExamples(form());
    form().Form1.setVisible(true);
    form().TXT当前处理数据.changed.connect(
        [this] { record_ += "touch " + form().TXT当前处理数据.text() + "\n"; });
    form().txt校正后数据.changed.connect(
        [this] { record_ += "pixel " + form().txt校正后数据.text() + "\n"; });
    form().Label4.changed.connect([this] { record_ += form().Label4.caption() + "\n"; });
  }

  // One block through the link, then 100 ms of the program's time: the serial poll takes it.
  // Without `timePasses` the serial poll runs at once and the clock stands still.
  void receive(Link link, const std::vector<std::uint8_t>& block, bool timePasses = true) {
    if (link == Link::serial)
      serialPort().waiting = block;
    else
      socket().deliver(block);
    if (timePasses)
      loop_.advance(100);
    else
      program_.serial().pollSerialPort();
    for (const Action& action : desktop_.actions) {
      record_ += action.kind == Action::Kind::click ? "click " : "move ";
      record_ += std::to_string(action.at.x) + "," + std::to_string(action.at.y) + "\n";
    }
    desktop_.actions.clear();
    record_ += form().Label2.caption() + " turns " +
               std::to_string(form().decoder().revolutionCount()) + "\n";
  }

  void receiveAll(Link link, const std::vector<std::vector<std::uint8_t>>& blocks) {
    for (const auto& block : blocks)
      receive(link, block);
  }

  // The digest of the record; writes the record out when asked to.
  std::uint64_t digest(const char* name) {
    record_ += "nodes " + std::to_string(form().decoder().decodedNodes()) + " no-return " +
               std::to_string(form().decoder().noReturnNodes()) + "\n";
    if (const char* folder = std::getenv("SCANTOUCH_ROAD_RECORD_DIR"))
      std::ofstream(std::string(folder) + "/" + name + ".txt", std::ios::binary) << record_;
    return Fnv1a(record_);
  }

  std::size_t count(const std::string& prefix) const {
    std::size_t n = 0;
    for (std::size_t at = 0; (at = record_.find("\n" + prefix, at)) != std::string::npos; ++at)
      ++n;
    return n;
  }

  std::string record_;
};

std::vector<std::uint8_t> CleanStream() {
  scanner_sim::NodeStream stream(examples::HandInTheRectangle(4), Settings(3600, 10, 1));
  std::vector<std::uint8_t> bytes = scanner_sim::StreamStart(0, 1);
  Append(bytes, Seconds(stream, 8));
  return bytes;
}

TEST_F(RoadIdentityTest, CleanStreamWithTheWindowShown) {
  receiveAll(Link::serial, CutIntoBlocks(CleanStream(), 11, 900));
  EXPECT_GT(count("click"), 20u);
  EXPECT_EQ(digest("clean-shown"), 11539709004407231971ull);
}

TEST_F(RoadIdentityTest, CleanStreamWithTheWindowHidden) {
  form().Form1.setVisible(false);
  receiveAll(Link::serial, CutIntoBlocks(CleanStream(), 11, 900));
  EXPECT_EQ(digest("clean-hidden"), 11539709004407231971ull);
}

TEST_F(RoadIdentityTest, CleanStreamInSingleBytesAndLargeBlocks) {
  const std::vector<std::uint8_t> bytes = CleanStream();
  const std::vector<std::uint8_t> first(bytes.begin(), bytes.begin() + 4000);
  for (const std::uint8_t byte : first)
    receive(Link::serial, {byte}, false);
  const std::vector<std::uint8_t> rest(bytes.begin() + 4000, bytes.end());
  receiveAll(Link::serial, CutIntoBlocks(rest, 5, 30000));
  EXPECT_EQ(digest("clean-sizes"), 3474592264464240387ull);
}

TEST_F(RoadIdentityTest, LossyStream) {
  scanner_sim::StreamSettings settings = Settings(2000, 5.5, 2);
  settings.angleJitterDegrees = 0.3;
  settings.quality = 15;
  scanner_sim::NodeStream stream(examples::HandInTheRectangle(6), settings);
  scanner_sim::LossyLine line(0.002, 0.001, 17);
  std::vector<std::uint8_t> bytes = line.pass(scanner_sim::StreamStart(0, 2));
  for (int i = 0; i < 100; ++i)
    Append(bytes, line.pass(Seconds(stream, 0.1)));
  receiveAll(Link::serial, CutIntoBlocks(bytes, 23, 700));
  EXPECT_GT(line.lostBytes() + line.corruptedBytes(), 50u);
  // Half turns are those of the sweep the turn finder follows, at the scanner's own 0 and 180
  // (before, at the corrected angle's): the counts moved, every touch, pixel and click stayed.
  // Every group is judged as a node start, in step too (a start flag where no turn begins rules
  // a group out): 19218 nodes decoded instead of 19292, two passes leave 42 characters waiting
  // instead of 3 and 12, and the first second counts one half turn instead of two; every touch,
  // pixel, move and click is the same. A damaged node no longer moves the sweep a long step
  // ahead, and the nodes it passed over still follow the sweep: half turns counted and the scan
  // rate shown moved in a few seconds, nothing else.
  EXPECT_EQ(digest("lossy"), 8211508098549637954ull);
}

// No-return nodes, stale bytes before the descriptor, the scanner restarted mid-stream, and a
// while with processing switched off.
TEST_F(RoadIdentityTest, RealLikeStream) {
  scanner_sim::StreamSettings settings = Settings(4000, 8, 3);
  settings.angleJitterDegrees = 0.2;
  settings.distanceNoiseMm = 5;
  settings.noReturnShare = 0.15;
  scanner_sim::NodeStream stream(examples::HandInTheRectangle(5), settings);
  std::vector<std::uint8_t> bytes = scanner_sim::StreamStart(13, 3);
  Append(bytes, Seconds(stream, 3));
  Append(bytes, scanner_sim::StreamStart(9, 4));  // restarted: a node cut short, a descriptor
  Append(bytes, Seconds(stream, 2));
  const std::vector<std::vector<std::uint8_t>> before = CutIntoBlocks(bytes, 31, 1200);
  receiveAll(Link::serial, before);

  (void)form().CHK处理.setValue(CheckBox::kCleared);
  receiveAll(Link::serial, CutIntoBlocks(Seconds(stream, 1.5), 37, 1200));
  (void)form().CHK处理.setValue(CheckBox::kChecked);
  receiveAll(Link::serial, CutIntoBlocks(Seconds(stream, 3), 41, 1200));
  EXPECT_GT(form().decoder().noReturnNodes(), 1000u);
  // As the lossy stream's: only the half turns counted moved.
  EXPECT_EQ(digest("real-like"), 667590689365401552ull);
}

TEST_F(RoadIdentityTest, StreamOverTheNetwork) {
  configureChannel();
  connectChannel();  // the scan-rate meter's first second asks for a start, which empties the
                     // buffer
  loop_.advance(200);
  scanner_sim::NodeStream stream(examples::HandInTheRectangle(3), Settings(2000, 5.5, 5));
  std::vector<std::uint8_t> bytes = scanner_sim::StreamStart(0, 5);
  Append(bytes, Seconds(stream, 6));
  receiveAll(Link::network, CutIntoBlocks(bytes, 43, 1500));
  EXPECT_EQ(digest("network"), 6280501623845729998ull);
}

// Sparse scanners and no-return nodes inside runs: where the road loses data today.
TEST_F(RoadIdentityTest, SparseStreamAndNoReturnsInsideRuns) {
  scanner_sim::NodeStream sparse(examples::HandInTheRectangle(4), Settings(100, 10, 6));
  std::vector<std::uint8_t> bytes = scanner_sim::StreamStart(0, 6);
  Append(bytes, Seconds(sparse, 5));
  scanner_sim::StreamSettings settings = Settings(2000, 5.5, 7);
  settings.noReturnShare = 0.3;
  settings.noReturnJitterDegrees = 0.5;
  scanner_sim::NodeStream holes(examples::HandInTheRectangle(4), settings);
  Append(bytes, Seconds(holes, 5));
  receiveAll(Link::serial, CutIntoBlocks(bytes, 47, 600));
  EXPECT_EQ(digest("sparse-and-holes"), 12531747462968308915ull);
}

}  // namespace
}  // namespace scantouch
