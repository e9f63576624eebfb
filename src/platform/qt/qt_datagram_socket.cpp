#include "qt/qt_datagram_socket.h"

#include <sys/socket.h>

#include <QHostAddress>
#include <QHostInfo>
#include <cerrno>
#include <cstring>

namespace scantouch {

QtDatagramSocket::QtDatagramSocket(const QString& host, quint16 port) : host_(host), port_(port) {
  QObject::connect(&socket_, &QUdpSocket::connected, [this] {
    std::string ignored;
    if (!waiting_.isEmpty())
      write(waiting_.constData(), waiting_.size(), ignored);
    waiting_.clear();
  });
  QObject::connect(&socket_, &QUdpSocket::errorOccurred, [this](QAbstractSocket::SocketError) {
    if (socket_.state() != QAbstractSocket::ConnectedState) {
      lookupError_ = socket_.errorString();
      sinceFailure_.start();
      waiting_.clear();
    }
  });
  connectToReceiver();
}

void QtDatagramSocket::connectToReceiver() {
  lookupError_.clear();
  // Write only: Qt then never reads the socket, so an ICMP refusal stays for the next write to
  // report rather than being taken by a read notification nobody listens to.
  QHostAddress address;
  if (host_.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
    address = QHostAddress(QHostAddress::LocalHost);
  if (!address.isNull() || address.setAddress(host_))
    socket_.connectToHost(address, port_, QIODevice::WriteOnly);
  else
    socket_.connectToHost(host_, port_, QIODevice::WriteOnly);
}

bool QtDatagramSocket::write(const char* data, qint64 size, std::string& error) {
  // Past QUdpSocket::write, which reports a refusal (ECONNREFUSED) only as an unknown error.
  const ssize_t sent = ::send(static_cast<int>(socket_.socketDescriptor()), data,
                              static_cast<std::size_t>(size), MSG_DONTWAIT | MSG_NOSIGNAL);
  if (sent == size)
    return true;
  error = sent < 0 ? std::strerror(errno) : "datagram cut short";
  return false;
}

bool QtDatagramSocket::send(std::span<const std::uint8_t> datagram, std::string& error) {
  const auto* data = reinterpret_cast<const char*>(datagram.data());
  const auto size = static_cast<qint64>(datagram.size());
  switch (socket_.state()) {
    case QAbstractSocket::ConnectedState:
      return write(data, size, error);
    case QAbstractSocket::UnconnectedState:
      error = lookupError_.isEmpty() ? "not connected" : lookupError_.toStdString();
      if (!sinceFailure_.isValid() || sinceFailure_.elapsed() >= kLookUpAgainAfter_ms)
        connectToReceiver();
      return false;
    default:  // still looking the name up: only the newest frame matters once it is known
      waiting_ = QByteArray(data, size);
      return true;
  }
}

std::unique_ptr<DatagramSocket> QtDatagramSocketFactory::open(const std::string& host,
                                                              std::uint16_t port, std::string&) {
  return std::make_unique<QtDatagramSocket>(QString::fromStdString(host), port);
}

std::string QtDatagramSocketFactory::hostName() const {
  return QHostInfo::localHostName().toStdString();
}

}  // namespace scantouch
