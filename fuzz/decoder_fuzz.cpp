// Received bytes of any kind through the whole road as the program wires it: each block is fed
// to the decoder, whose pass hands the nodes to the point processing and the touch mapping. The
// first byte says how the input is cut into blocks and whether the scanner's descriptor comes
// first. One road serves every input, as one program serves every stream: each input starts as
// after the start sequence, with the beams and the half of the sweep the inputs before it left.

#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/main_form.h"
#include "example_setup.h"
#include "recording_desktop_input.h"
#include "toolkit/virtual_event_loop.h"

namespace {

using namespace scantouch;

constexpr std::array<std::uint8_t, 7> kDescriptor{0xA5, 0x5A, 0x05, 0x00, 0x00, 0x40, 0x81};

void Require(bool condition) {
  if (!condition)
    std::abort();
}

struct Road {
  Road() { examples::CalibrateLikeTheExamples(form); }
  testing::RecordingDesktopInput desktop;
  examples::InMemorySettings settingsFile;
  VirtualEventLoop loop;
  MainForm form{loop, desktop, settingsFile.file};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0)
    return 0;
  static Road road;
  MainForm& form = road.form;
  testing::RecordingDesktopInput& desktop = road.desktop;
  form.decoder().resetSynchronisation();
  desktop.actions.clear();

  const std::uint8_t shape = data[0];
  const std::span<const std::uint8_t> stream(data + 1, size - 1);
  if (shape & 0x80)
    form.decoder().feed(kDescriptor);
  const std::size_t blockBytes = 1 + (shape & 0x3F);
  for (std::size_t at = 0; at < stream.size(); at += blockBytes) {
    form.decoder().feed(stream.subspan(at, std::min(blockBytes, stream.size() - at)));
    Require(form.decoder().pendingBytes().size() <= NodeFraming::kMaxBufferBytes);
    if (form.decoder().synchronised() && !form.decoder().realigning())
      Require(form.decoder().pendingBytes().size() < kGroupBytes);
  }
  for (const auto& action : desktop.actions) {
    // The mapping clamps every touch to the screen area of the examples.
    Require(action.at.x >= 0 && action.at.x <= 1920 && action.at.y >= 0 && action.at.y <= 1080);
  }
  Require(form.decoder().noReturnNodes() <= form.decoder().decodedNodes());
  return 0;
}
