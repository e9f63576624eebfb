// Several scanners as one surface in the whole program: the settings say which link carries
// which scanner, and each link's bytes stay in a stream of their own.

#include "scanners/scanner_surface.h"

#include <gtest/gtest.h>

#include <random>

#include "example_setup.h"
#include "node_stream.h"
#include "program_fixture.h"
#include "scan_text.h"
#include "scanner_pose.h"

namespace scantouch {
namespace {

namespace sim = scanner_sim;

constexpr const char* kPath = "/opt/scantouch/系统配置.ini";
// Where the scanner on TCP channel 0 stands for the simulator: 10000,2000 in view units.
constexpr sim::ScannerPose kNetworkScanner{2500, -5500, 30};

class ScannerSurfaceTest : public testing::ProgramFixture {
 protected:
  void startWith(const std::string& engineSection) {
    files_.files[kPath] = "[触控引擎]\n" + engineSection;
    program_.lifecycle().startUp();
    examples::CalibrateLikeTheExamples(form());
    configureChannel();
    connectChannel();
    form().Text1.setText("3");  // the serial port opens
    placeHand({0, -3000}, 10, 10);
  }

  // One still hand, relative to the serial scanner; the network scanner stands at the
  // rectangle's top-right corner, turned 30 degrees, out of step.
  void placeHand(sim::PlanePoint at, double serialTurns, double networkTurns) {
    sim::Scene scene;
    scene.roomDistanceMm = {7000};
    sim::SceneObject hand;
    hand.from = at;
    hand.diameterMm = 100;
    scene.objects = {hand};
    sim::StreamSettings settings;
    settings.nodesPerSecond = 8000;
    settings.revolutionsPerSecond = serialTurns;
    serialScanner_.emplace(scene, settings);
    settings.revolutionsPerSecond = networkTurns;
    settings.turnPhase = 0.3;
    networkScanner_.emplace(sim::SceneSeenFrom(scene, kNetworkScanner), settings);
  }

  // Both scanners send for `seconds`, each on its link; the serial port is polled as the program
  // polls it, every 100 ms.
  void play(double seconds, bool networkSends = true) {
    std::vector<std::uint8_t> start(sim::kScanDescriptor.begin(), sim::kScanDescriptor.end());
    if (!started_) {
      serialPort().waiting = start;
      if (networkSends)
        socket().deliver(start);
      started_ = true;
    }
    for (double t = 0; t < seconds; t += 0.1) {
      serialScanner_->appendSeconds(serialPort().waiting, 0.1);
      std::vector<std::uint8_t> block;
      networkScanner_->appendSeconds(block, 0.1);
      if (networkSends)
        socket().deliver(block);
      loop_.advance(100);
    }
  }

  std::size_t logged(std::string_view part) {
    std::size_t n = 0;
    for (const std::string& entry : form().List1.list().entries())
      n += entry.find(part) != std::string::npos ? 1 : 0;
    return n;
  }

  std::optional<sim::NodeStream> serialScanner_;
  std::optional<sim::NodeStream> networkScanner_;
  bool started_ = false;
};

TEST_F(ScannerSurfaceTest, EachLinkIsAScannerOfItsOwnAndBothSeeTheHand) {
  startWith("多扫描仪=1\n扫描仪位姿串口=7500,7500,0\n扫描仪位姿0=10000,2000,30\n");
  ScannerSurface& surface = program_.surface();
  ASSERT_TRUE(surface.several());
  EXPECT_EQ(surface.firstLink(), LinkId{});
  ASSERT_EQ(surface.streams(), 1u);
  EXPECT_EQ(form().engine().scannerCount(), 2u);
  EXPECT_TRUE(form().engine().running()) << "several scanners keep the engine running";

  play(2);
  // The serial stream alone went through the main decoder: 8000 nodes a second, not 16000.
  EXPECT_NEAR(static_cast<double>(form().decoder().decodedNodes()), 16000, 900);
  EXPECT_NEAR(static_cast<double>(surface.stream(0).decodedNodes()), 16000, 900);
  // Each scanner sees the one hand where it is; merged, it is one contact.
  ASSERT_EQ(form().engine().scannerObjects(1).size(), 1u);
  EXPECT_NEAR(form().engine().scannerObjects(1)[0].x, 7500, 30);
  EXPECT_NEAR(form().engine().scannerObjects(1)[0].y, 4500, 30);
  EXPECT_EQ(form().engine().lastFrame().live.size(), 1u);
  EXPECT_NE(form().LBL扫描仪.caption().find("TCP0："), std::string::npos)
      << form().LBL扫描仪.caption();
  ASSERT_EQ(form().radar().otherScanners().size(), 1u);
  EXPECT_GT(form().radar().otherScanners()[0].points.size(), 500u);
}

TEST_F(ScannerSurfaceTest, ASilentScannerIsToldAndStartedAloneWhileTheFirstGoesOn) {
  startWith("多扫描仪=1\n扫描仪位姿串口=7500,7500,0\n扫描仪位姿0=10000,2000,30\n");
  play(1);
  form().List1.clear();
  channel().TxtTcpTx.list().clear();
  serialPort().written.clear();
  play(3, false);
  EXPECT_EQ(logged("TCP0 is silent"), 1u);
  EXPECT_NE(form().LBL扫描仪.caption().find("TCP0：无数据"), std::string::npos);
  // The restart goes to its link only: the serial scanner is not interrupted.
  EXPECT_EQ(serialPort().written, "");
  EXPECT_FALSE(channel().TxtTcpTx.list().entries().empty());
  EXPECT_EQ(form().engine().lastFrame().live.size(), 1u);
  EXPECT_TRUE(form().engine().scannerAlive(0));
}

// Garbage on a further scanner's link, random bytes and nodes at random angles with start flags
// here and there: no turns of a sweep, so it is silent, and is started again.
TEST_F(ScannerSurfaceTest, AFurtherScannerSendingGarbageIsSilentAndStartedAgain) {
  startWith("多扫描仪=1\n扫描仪位姿串口=7500,7500,0\n扫描仪位姿0=10000,2000,30\n");
  play(1);
  form().List1.clear();
  channel().TxtTcpTx.list().clear();
  const std::uint64_t before = program_.surface().stream(0).decodedNodes();
  std::mt19937 random(3);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int block = 0; block < 30; ++block) {
    serialScanner_->appendSeconds(serialPort().waiting, 0.1);
    std::vector<std::uint8_t> garbage(1500);
    for (std::uint8_t& b : garbage)
      b = static_cast<std::uint8_t>(byte(random));
    const std::vector<std::uint8_t> nodes = testing::RandomNodeBytes(random, 300);
    garbage.insert(garbage.end(), nodes.begin(), nodes.end());
    socket().deliver(garbage);
    loop_.advance(100);
  }
  EXPECT_GT(program_.surface().stream(0).decodedNodes(), before + 500) << "garbage decoded";
  EXPECT_EQ(logged("TCP0 is silent"), 1u);
  EXPECT_NE(form().LBL扫描仪.caption().find("TCP0：无数据"), std::string::npos);
  EXPECT_FALSE(channel().TxtTcpTx.list().entries().empty()) << "started again";
}

// At start-up a further scanner's link connects and its scanner starts: it is started again
// while it has made no turn, but it did not go silent, and the log does not say so.
TEST_F(ScannerSurfaceTest, AFurtherScannerThatHasNotYetSentIsNotToldSilent) {
  startWith("多扫描仪=1\n扫描仪位姿串口=7500,7500,0\n扫描仪位姿0=10000,2000,30\n");
  channel().TxtTcpTx.list().clear();
  play(3, false);
  EXPECT_EQ(logged("is silent"), 0u);
  EXPECT_FALSE(channel().TxtTcpTx.list().entries().empty()) << "started again";
  play(2);
  EXPECT_EQ(logged("is silent"), 0u);
  EXPECT_EQ(form().engine().lastFrame().live.size(), 1u);
}

TEST_F(ScannerSurfaceTest, ALinkWithoutAPoseIsIgnoredAndToldOnce) {
  startWith("多扫描仪=1\n扫描仪位姿串口=7500,7500,0\n扫描仪位姿0=oops\n");
  EXPECT_EQ(program_.surface().streams(), 0u);
  play(1);
  EXPECT_EQ(logged("TCP0 has no pose"), 1u);
  EXPECT_NEAR(static_cast<double>(form().decoder().decodedNodes()), 8000, 900);
}

// The settings load into the window's boxes before the scanners are read, and the first pose is
// checked against what the boxes hold then.
TEST_F(ScannerSurfaceTest, AFirstPoseLikeTheLoadedPlacementIsNotTold) {
  startWith(
      "多扫描仪=1\n扫描仪位姿串口=7500,7500,30\n[参数设置]\n雷达位置=7500,7500\n角度校正=30.04\n");
  EXPECT_EQ(logged("pose differs"), 0u);
}

TEST_F(ScannerSurfaceTest, AFirstPoseUnlikeTheLoadedPlacementIsTold) {
  startWith(
      "多扫描仪=1\n扫描仪位姿串口=7500,7500,30\n[参数设置]\n雷达位置=7500,7500\n角度校正=31\n");
  EXPECT_EQ(logged("pose differs"), 1u);
}

TEST_F(ScannerSurfaceTest, WithoutTheSettingEveryLinkFeedsTheOneDecoderAsAlways) {
  startWith("出现圈数=2\n");
  EXPECT_FALSE(program_.surface().several());
  EXPECT_EQ(form().engine().scannerCount(), 1u);
  EXPECT_FALSE(form().engine().running());
  // What the network channel delivers reaches the one decoder, as before.
  std::vector<std::uint8_t> bytes(sim::kScanDescriptor.begin(), sim::kScanDescriptor.end());
  networkScanner_->appendSeconds(bytes, 0.1);
  socket().deliver(bytes);
  EXPECT_NEAR(static_cast<double>(form().decoder().decodedNodes()), 800, 10);
}

TEST_F(ScannerSurfaceTest, TheSecondScannersPoseComesFromAStillObjectAtThreePlaces) {
  // A rough pose to start from: 80 mm and 2 degrees off.
  startWith("多扫描仪=1\n扫描仪位姿串口=7500,7500,0\n扫描仪位姿0=10080,1950,32\n");
  const sim::PlanePoint places[] = {{-2000, -3000}, {1800, -3200}, {0, -5000}};
  for (const sim::PlanePoint& place : places) {
    // A real scanner's turn is no whole number of nodes: each turn samples the object at other
    // angles, and the average over a place's turns comes closer than one turn's beams are apart.
    placeHand(place, 9.7, 10.3);
    play(0.5);
    form().CMD记录位姿点.click();
    play(1.5);
  }
  form().CMD计算位姿.click();
  const std::string stored = program_.mainSettings().read("触控引擎", "扫描仪位姿0");
  const auto pose = ParsePose(stored);
  ASSERT_TRUE(pose.has_value()) << stored;
  EXPECT_NEAR(pose->x, 10000, 10);
  EXPECT_NEAR(pose->y, 2000, 10);
  EXPECT_NEAR(pose->angleDegrees, 30, 0.5);
  EXPECT_NE(form().LBL位姿标定.caption().find("残差"), std::string::npos)
      << form().LBL位姿标定.caption();
  EXPECT_NEAR(form().engine().scannerPose(1)->x, pose->x, 0.1);
}

}  // namespace
}  // namespace scantouch
