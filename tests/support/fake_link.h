#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/network_form.h"
#include "link/serial_port.h"
#include "link/tcp_client_socket.h"
#include "toolkit/dialogs.h"

namespace scantouch::testing {

// A serial port whose devices, arrivals and writes the test controls.
class FakeSerialPort final : public SerialPort {
 public:
  bool setPortNumber(std::int16_t number) override {
    if (number < 1 || number > 255)
      return false;
    number_ = number;
    return true;
  }
  std::int16_t portNumber() const override { return number_; }
  bool open() override {
    ++opens;
    open_ = !absent;
    if (open_)
      opened.push_back(number_);
    return open_;
  }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }
  std::vector<std::uint8_t> readAll() override { return std::exchange(waiting, {}); }
  bool write(std::string_view bytes) override {
    written += bytes;
    return true;
  }
  // The device goes away under an open port.
  void vanish() { open_ = false; }

  bool absent = false;  // the next opens fail
  int opens = 0;
  std::vector<int> opened;  // port numbers, per successful open
  std::vector<std::uint8_t> waiting;
  std::string written;

 private:
  std::int16_t number_ = 1;
  bool open_ = false;
};

// A TCP socket whose peer the test plays.
class FakeTcpSocket final : public TcpClientSocket {
 public:
  TcpState state() const override { return state_; }
  void connect() override {
    ++connects;
    state_ = TcpState::connecting;
  }
  void close() override {
    ++closes;
    state_ = TcpState::closed;
  }
  std::vector<std::uint8_t> readAll() override { return std::exchange(waiting, {}); }
  bool send(std::string_view bytes) override {
    sent.emplace_back(bytes);
    if (onSend)
      onSend();
    return true;
  }
  std::string localAddress() const override { return "192.0.2.7"; }

  // The server accepts the pending connection.
  void accept() {
    state_ = TcpState::connected;
    connected.notify();
  }
  void fail(TcpError error, const std::string& description) {
    state_ = TcpState::closed;
    errorOccurred.notify(error, description);
  }
  void deliver(std::vector<std::uint8_t> bytes) {
    waiting.insert(waiting.end(), bytes.begin(), bytes.end());
    dataArrived.notify(waiting.size());
  }
  void complete() { sendCompleted.notify(); }
  void setState(TcpState state) { state_ = state; }

  std::function<void()> onSend;  // the peer's answer to a send, if any
  int connects = 0;
  int closes = 0;
  std::vector<std::string> sent;
  std::vector<std::uint8_t> waiting;

 private:
  TcpState state_ = TcpState::closed;
};

class FakeSocketFactory final : public TcpSocketFactory {
 public:
  std::unique_ptr<TcpSocket> create() override {
    auto socket = std::make_unique<FakeTcpSocket>();
    made.push_back(socket.get());
    return socket;
  }
  std::vector<FakeTcpSocket*> made;
};

// Answers questions from a script and remembers what was asked.
class ScriptedDialogs final : public Dialogs {
 public:
  bool askYesNo(std::string_view text, std::string_view) override {
    asked.emplace_back(text);
    return answer;
  }
  void inform(std::string_view text, std::string_view) override {
    told.emplace_back(text);
    if (whileTelling)
      whileTelling();  // what happens while the message waits for its answer
  }

  bool answer = true;
  std::function<void()> whileTelling;
  std::vector<std::string> asked;
  std::vector<std::string> told;
};

}  // namespace scantouch::testing
