#include "qt/qt_tcp_socket.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace scantouch {
namespace {

// The error numbers the event log has always shown for these failures.
int ErrorNumberOf(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
      return 10061;
    case QAbstractSocket::RemoteHostClosedError:
      return 10053;
    case QAbstractSocket::HostNotFoundError:
      return 11001;
    case QAbstractSocket::SocketTimeoutError:
      return 10060;
    case QAbstractSocket::NetworkError:
      return 10050;
    case QAbstractSocket::SocketAddressNotAvailableError:
      return 10049;
    case QAbstractSocket::SocketAccessError:
      return 10013;
    case QAbstractSocket::SocketResourceError:
      return 10055;
    default:
      return 10000 + static_cast<int>(error);
  }
}

}  // namespace

QtTcpSocket::QtTcpSocket() {
  QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
    dataArrived.notify(static_cast<std::size_t>(socket_.bytesAvailable()));
  });
  QObject::connect(
      &socket_, &QTcpSocket::errorOccurred, [this](QAbstractSocket::SocketError error) {
        errorOccurred.notify(ErrorNumberOf(error), socket_.errorString().toStdString());
      });
  QObject::connect(&socket_, &QTcpSocket::bytesWritten, [this](qint64 written) {
    // One completion per send, when its last byte is out.
    unsentBytes_ -= written;
    if (unsentBytes_ <= 0) {
      unsentBytes_ = 0;
      sendCompleted.notify();
    }
  });
  QObject::connect(&socket_, &QTcpSocket::connected, [this] { connected.notify(); });
}

int QtTcpSocket::state() const {
  switch (socket_.state()) {
    case QAbstractSocket::UnconnectedState:
      return kClosed;
    case QAbstractSocket::HostLookupState:
      return 4;  // resolving the host
    case QAbstractSocket::ConnectingState:
      return kConnecting;
    case QAbstractSocket::ConnectedState:
      return kConnected;
    case QAbstractSocket::ClosingState:
      return 8;  // the peer is closing
    default:
      return kOther;
  }
}

void QtTcpSocket::connect() {
  unsentBytes_ = 0;
  // Blanks typed around the address are no part of it.
  socket_.connectToHost(QString::fromStdString(remoteHost_).trimmed(),
                        static_cast<quint16>(remotePort_));
}

void QtTcpSocket::close() {
  unsentBytes_ = 0;
  socket_.abort();
}

std::vector<std::uint8_t> QtTcpSocket::readAll() {
  const QByteArray bytes = socket_.readAll();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool QtTcpSocket::send(std::string_view bytes) {
  if (socket_.state() != QAbstractSocket::ConnectedState)
    return false;
  const qint64 queued = socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (queued <= 0)
    return false;
  unsentBytes_ += queued;
  return true;
}

std::string QtTcpSocket::localAddress() const {
  if (socket_.state() == QAbstractSocket::ConnectedState)
    return socket_.localAddress().toString().toStdString();
  // Not connected: the first address of this machine on a network, as the window shows it.
  for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
    if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback()) {
      return address.toString().toStdString();
    }
  }
  return QHostAddress(QHostAddress::LocalHost).toString().toStdString();
}

}  // namespace scantouch
