#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QUdpSocket>
#include <memory>

#include "outputs/datagram_socket.h"

namespace scantouch {

// A UDP socket on QUdpSocket, connected to its receiver. An address or "localhost" is used as it
// is; a name is looked up by Qt in the background (the window never waits for a name server),
// the newest datagram waiting meanwhile. A name that is not found is tried again a few seconds
// later: at log-in the network may come up after the program.
class QtDatagramSocket final : public DatagramSocket {
 public:
  static constexpr qint64 kLookUpAgainAfter_ms = 5000;

  QtDatagramSocket(const QString& host, quint16 port);

  bool send(std::span<const std::uint8_t> datagram, std::string& error) override;

 private:
  void connectToReceiver();
  bool write(const char* data, qint64 size, std::string& error);

  QUdpSocket socket_;
  QString host_;
  quint16 port_;
  QByteArray waiting_;   // the newest datagram while the name is looked up
  QString lookupError_;  // why the name could not be looked up, until tried again
  QElapsedTimer sinceFailure_;
};

class QtDatagramSocketFactory final : public DatagramSocketFactory {
 public:
  std::unique_ptr<DatagramSocket> open(const std::string& host, std::uint16_t port,
                                       std::string& error) override;
  std::string hostName() const override;
};

}  // namespace scantouch
