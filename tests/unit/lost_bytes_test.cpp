// Measures what lost bytes do to the clicks: a simulated stream with jittered angles goes through
// the whole road with one byte in a thousand dropped, once with each way of recovering.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <span>
#include <vector>

#include "app/main_form.h"
#include "common/hex_text.h"
#include "example_setup.h"
#include "node_stream.h"
#include "recording_desktop_input.h"
#include "toolkit/virtual_event_loop.h"

namespace scantouch {
namespace {

struct RoadFigures {
  std::uint64_t lostBytes = 0;
  std::uint64_t clicks = 0;
  std::uint64_t farClicks = 0;  // more than 40 pixels from the hand
  std::uint64_t decodedNodes = 0;
};

constexpr double kFarPixels = 40;

// The hand moves while a block is on its way; a click is fair if it is near where the hand was
// at any time during the block or just before it.
double PixelsFromHand(const scanner_sim::SceneObject& hand, ScreenPoint click, double from_s,
                      double to_s) {
  double nearest = 1e9;
  for (double t = from_s; t <= to_s; t += 0.01) {
    const ScreenPoint expected = examples::ExpectedPixel(hand.centreAt(t));
    nearest = std::min(nearest, std::hypot(click.x - expected.x, click.y - expected.y));
  }
  return nearest;
}

RoadFigures RunDamagedStream(ScanStreamDecoder::Recovery recovery, double seconds) {
  testing::RecordingDesktopInput desktop;
  examples::InMemorySettings settingsFile;
  VirtualEventLoop loop;
  MainForm form(loop, desktop, settingsFile.file, recovery);
  examples::CalibrateLikeTheExamples(form);

  scanner_sim::StreamSettings settings;
  settings.revolutionsPerSecond = 5.5;
  settings.nodesPerSecond = 360 * settings.revolutionsPerSecond;
  settings.angleJitterDegrees = 0.3;
  settings.quality = 15;  // a typical quality byte, 0x3E: read as a distance it is about 4 m
  scanner_sim::NodeStream stream(examples::HandInTheRectangle(), settings);
  const scanner_sim::SceneObject& hand = stream.scene().objects.front();

  std::mt19937 random(2024);
  std::bernoulli_distribution lose(0.001);
  // Blocks break at any byte, not at node boundaries: part of each block waits for the next.
  std::uniform_int_distribution<std::size_t> heldBack(0, 40);

  RoadFigures figures;
  std::vector<std::uint8_t> sent(scanner_sim::kScanDescriptor.begin(),
                                 scanner_sim::kScanDescriptor.end());
  std::vector<std::uint8_t> received;
  while (stream.time_s() < seconds) {
    const double blockStart = stream.time_s();
    stream.appendSeconds(sent, 0.1);
    for (const std::uint8_t byte : sent) {
      if (lose(random)) {
        ++figures.lostBytes;
      } else {
        received.push_back(byte);
      }
    }
    sent.clear();
    const std::size_t blockSize = received.size() - std::min(received.size(), heldBack(random));
    const std::size_t clicksBefore = desktop.clicks().size();
    form.TXTRX.appendText(HexText(std::span(received).first(blockSize)));
    received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(blockSize));
    const auto clicks = desktop.clicks();
    for (std::size_t i = clicksBefore; i < clicks.size(); ++i) {
      ++figures.clicks;
      if (PixelsFromHand(hand, clicks[i], blockStart - 0.4, stream.time_s()) > kFarPixels)
        ++figures.farClicks;
    }
  }
  figures.decodedNodes = form.decoder().decodedNodes();
  return figures;
}

TEST(LostBytes, FewClicksLandFarFromTheHandAndNoNodesAreLostToRecovery) {
  constexpr double kSeconds = 4000;  // about 40 MB of stream, some 40 000 lost bytes
  const RoadFigures plain =
      RunDamagedStream(ScanStreamDecoder::Recovery::restartAtNextAppend, kSeconds);
  const RoadFigures realign = RunDamagedStream(ScanStreamDecoder::Recovery::realign, kSeconds);

  const auto perThousandLost = [](const RoadFigures& f) {
    return 1000.0 * static_cast<double>(f.farClicks) / static_cast<double>(f.lostBytes);
  };
  std::printf("plain:   %llu lost, %llu clicks, %llu far (%.1f per 1000 lost), %llu nodes\n",
              static_cast<unsigned long long>(plain.lostBytes),
              static_cast<unsigned long long>(plain.clicks),
              static_cast<unsigned long long>(plain.farClicks), perThousandLost(plain),
              static_cast<unsigned long long>(plain.decodedNodes));
  std::printf("realign: %llu lost, %llu clicks, %llu far (%.1f per 1000 lost), %llu nodes\n",
              static_cast<unsigned long long>(realign.lostBytes),
              static_cast<unsigned long long>(realign.clicks),
              static_cast<unsigned long long>(realign.farClicks), perThousandLost(realign),
              static_cast<unsigned long long>(realign.decodedNodes));

  ASSERT_GT(realign.lostBytes, 1000u);
  ASSERT_GT(realign.clicks, 1000u);  // the hand really is being followed
  EXPECT_LE(perThousandLost(realign), 3.0);
  EXPECT_GE(realign.decodedNodes, plain.decodedNodes);
}

}  // namespace
}  // namespace scantouch
