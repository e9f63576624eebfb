#pragma once

#include <QProcess>
#include <filesystem>
#include <memory>
#include <string>

#include "app/scanner_program.h"
#include "fake_link.h"
#include "fake_shell.h"
#include "free_port.h"
#include "posix/iconv_text_codec.h"
#include "posix/posix_file_access.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_serial_port.h"
#include "qt/qt_tcp_socket.h"
#include "qt_waiting.h"

namespace scantouch::testing {

// A scanner-sim child process whose printed lines the test can wait for.
class SimProcess {
 public:
  explicit SimProcess(const QStringList& arguments) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(&process_, &QProcess::readyReadStandardOutput,
                     [this] { output_ += process_.readAllStandardOutput().toStdString(); });
    process_.start(SCANNER_SIM_PATH, arguments);
  }
  ~SimProcess() { kill(); }

  bool waitForLine(const std::string& line, int timeout_ms = 5000) {
    return RunUntil([&] { return output_.find(line + "\n") != std::string::npos; }, timeout_ms);
  }
  const std::string& output() const { return output_; }
  void kill() {
    if (process_.state() == QProcess::NotRunning)
      return;
    process_.kill();
    process_.waitForFinished(2000);
  }

 private:
  QProcess process_;
  std::string output_;
};

// The program on the real adapters, its settings in a fresh directory of its own.
class QtProgram {
 public:
  QtProgram()
      : directory_(
            std::filesystem::temp_directory_path() /
            ("scantouch-link-" + std::to_string(::getpid()) + "-" + std::to_string(++created_))),
        where_((std::filesystem::create_directories(directory_), directory_.string())),
        serialPort_(where_) {}
  ~QtProgram() {
    program_.reset();
    std::filesystem::remove_all(directory_);
  }

  // Makes the program; settings files written before this are what it loads.
  ScannerProgram& start() {
    program_ = std::make_unique<ScannerProgram>(Platform{loop_, desktop_, serialPort_, sockets_,
                                                         dialogs_, files_, codec_, where_, tray_,
                                                         instances_, [] {}});
    return *program_;
  }
  std::string directory() const { return directory_.string(); }
  PosixFileAccess& files() { return files_; }

 private:
  static inline int created_ = 0;
  std::filesystem::path directory_;
  FixedDirectory where_;
  QtEventLoop loop_;
  NoDesktopInput desktop_;
  QtSerialPort serialPort_;
  QtTcpSocketFactory sockets_;
  ScriptedDialogs dialogs_;
  FakeTrayIcon tray_;
  FakeInstanceGuard instances_;
  PosixFileAccess files_;
  IconvTextCodec codec_{"CP936"};
  std::unique_ptr<ScannerProgram> program_;
};

}  // namespace scantouch::testing
