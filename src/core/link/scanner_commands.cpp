#include "link/scanner_commands.h"

#include <string>

namespace scantouch {

ScannerCommands::ScannerCommands(CommandControls controls, EventLoop& loop, SerialLink& serial,
                                 NetworkForm& network, ScanStreamDecoder& decoder,
                                 RadarModel& radar, const TextCodec& ansiCodec)
    : controls_(controls),
      loop_(loop),
      serial_(serial),
      network_(network),
      decoder_(decoder),
      radar_(radar),
      ansiCodec_(ansiCodec) {}

void ScannerCommands::sendScannerCommand(std::string_view text) {
  serial_.write(ansiCodec_.encode(text));
  // The first use of the network window loads it, shown or not.
  network_.ensureLoaded();
  const int channels = everyChannel_ ? network_.channelCount() : 1;
  for (int channel = 0; channel < channels; ++channel)
    sendTo(LinkId{channel}, text);
}

void ScannerCommands::sendTo(LinkId link, std::string_view text) {
  if (link.serial()) {
    serial_.write(ansiCodec_.encode(text));
    return;
  }
  network_.ensureLoaded();
  if (link.channel < 0 || link.channel >= network_.channelCount())
    return;
  ComboBox& sendBox = network_.channel(link.channel).TxtTcpTx;
  // Emptied first, so that the same command twice is two changes and is queued twice.
  sendBox.setText("");
  sendBox.setText(text);
}

void ScannerCommands::requestScannerStart() {
  (void)controls_.eventLog.insertItem(0, loop_.localDateTimeText() + ",启动");
  controls_.startTimer.setEnabled(true);
}

void ScannerCommands::runStartSequence() {
  // Appends still pending are processed first, then thrown away with the rest of the buffer.
  loop_.yield();
  radar_.clearAngleTrace();
  controls_.picture.clear();
  decoder_.resetSynchronisation();
  sendScannerCommand(commands::kScan);
  controls_.startTimer.setEnabled(false);
}

void ScannerCommands::clearReceivedData() {
  radar_.clearAngleTrace();
  controls_.picture.clear();
  decoder_.resetSynchronisation();
  controls_.eventLog.clear();
}

}  // namespace scantouch
