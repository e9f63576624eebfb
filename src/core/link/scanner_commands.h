#pragma once

#include <string_view>

#include "config/text_codec.h"
#include "decoding/scan_stream_decoder.h"
#include "link/network_form.h"
#include "link/received_bytes.h"
#include "link/serial_link.h"
#include "radar/radar_model.h"
#include "toolkit/event_loop.h"
#include "toolkit/list_box.h"
#include "toolkit/timer.h"

namespace scantouch {

// The scanner's commands as the program sends them.
namespace commands {
inline constexpr std::string_view kScan = ":SCAN.";
inline constexpr std::string_view kStop = ":STOP.";
inline constexpr std::string_view kLaserOn = ":LASERON.";
inline constexpr std::string_view kLaserOff = ":LASEROFF.";
}  // namespace commands

// What the commands touch on the main window.
struct CommandControls {
  ListBox& eventLog;    // List1: start entries go to its top
  Timer& startTimer;    // TMR开始: 100 ms, one shot
  PictureBox& picture;  // PICYL
};

// The one way commands leave the program, and the start of the scanner: a start request logs a
// line and, 100 ms later, empties the receive buffer, waits for a new descriptor and sends
// ":SCAN." over the serial port and into the send queue of TCP channel 0.
class ScannerCommands {
 public:
  ScannerCommands(CommandControls controls, EventLoop& loop, SerialLink& serial,
                  NetworkForm& network, ScanStreamDecoder& decoder, RadarModel& radar,
                  const TextCodec& ansiCodec);

  void sendScannerCommand(std::string_view text);
  // With several scanners, a command goes to every TCP channel, not only to channel 0.
  void setEveryChannel(bool every) { everyChannel_ = every; }
  // A command to the scanner on one link alone.
  void sendTo(LinkId link, std::string_view text);
  void requestScannerStart();
  void runStartSequence();
  // "清空接收数据": empties the receive buffer, the angle trace and the event log.
  void clearReceivedData();

 private:
  CommandControls controls_;
  EventLoop& loop_;
  SerialLink& serial_;
  NetworkForm& network_;
  ScanStreamDecoder& decoder_;
  RadarModel& radar_;
  const TextCodec& ansiCodec_;
  bool everyChannel_ = false;
};

}  // namespace scantouch
