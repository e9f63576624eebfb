#pragma once

// A WebSocket client of the program's web service, as a browser's page would be one: it opens
// the channel at `path`, then reads what comes, whole messages only. Enough WebSocket for the
// bench (a server's frames are never masked); the tests use a client the project did not write.

#include <QByteArray>
#include <QTcpSocket>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace scantouch::bench {

class WebListener {
 public:
  using Clock = std::chrono::steady_clock;
  struct Message {
    Clock::time_point arrived;
    int opcode = 0;
    QByteArray payload;
  };

  // Connects and asks for the channel; false while nothing listens yet.
  bool open(quint16 port, const std::string& path) {
    socket_.connectToHost("127.0.0.1", port);
    if (!socket_.waitForConnected(1000))
      return false;
    const std::string request = "GET " + path +
                                " HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
                                "Connection: Upgrade\r\nSec-WebSocket-Key: "
                                "dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n";
    socket_.write(request.data(), static_cast<qint64>(request.size()));
    return socket_.waitForBytesWritten(1000);
  }

  bool connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }

  // The messages that came since the last call, each stamped when it was read.
  std::vector<Message> take() {
    std::vector<Message> messages;
    const QByteArray more = socket_.readAll();
    if (more.isEmpty())
      return messages;
    const auto now = Clock::now();
    buffer_ += more;
    if (!upgraded_) {
      const qsizetype end = buffer_.indexOf("\r\n\r\n");
      if (end < 0)
        return messages;
      upgraded_ = buffer_.startsWith("HTTP/1.1 101");
      buffer_.remove(0, end + 4);
    }
    while (buffer_.size() >= 2) {
      const auto byte = [&](qsizetype i) { return static_cast<std::uint8_t>(buffer_[i]); };
      std::uint64_t size = byte(1) & 0x7F;
      qsizetype at = 2;
      if (size >= 126) {
        const qsizetype lengthBytes = size == 126 ? 2 : 8;
        if (buffer_.size() < at + lengthBytes)
          break;
        size = 0;
        for (qsizetype i = 0; i < lengthBytes; ++i)
          size = size << 8 | byte(at + i);
        at += lengthBytes;
      }
      if (static_cast<std::uint64_t>(buffer_.size() - at) < size)
        break;
      messages.push_back({now, byte(0) & 0x0F, buffer_.mid(at, static_cast<qsizetype>(size))});
      buffer_.remove(0, at + static_cast<qsizetype>(size));
    }
    return messages;
  }

  QTcpSocket& socket() { return socket_; }

 private:
  QTcpSocket socket_;
  QByteArray buffer_;
  bool upgraded_ = false;
};

// The frame number of a TUIO bundle ("fseq"), if it has one.
inline std::optional<std::int32_t> FrameSequence(const QByteArray& bundle) {
  const qsizetype at = bundle.indexOf(QByteArray("fseq\0\0\0\0", 8));
  if (at < 0 || bundle.size() < at + 12)
    return std::nullopt;
  std::uint32_t value = 0;
  for (qsizetype i = 0; i < 4; ++i)
    value = value << 8 | static_cast<std::uint8_t>(bundle[at + 8 + i]);
  return static_cast<std::int32_t>(value);
}

}  // namespace scantouch::bench
