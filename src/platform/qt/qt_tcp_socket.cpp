#include "qt/qt_tcp_socket.h"

#include <QHostAddress>
#include <QNetworkInterface>

#include "link/machine_address.h"

namespace scantouch {
namespace {

TcpError ErrorOf(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
      return TcpError::connectionRefused;
    case QAbstractSocket::RemoteHostClosedError:
      return TcpError::connectionAborted;
    case QAbstractSocket::HostNotFoundError:
      return TcpError::hostNotFound;
    case QAbstractSocket::SocketTimeoutError:
      return TcpError::timedOut;
    case QAbstractSocket::NetworkError:
      return TcpError::networkDown;
    case QAbstractSocket::SocketAddressNotAvailableError:
      return TcpError::addressNotAvailable;
    case QAbstractSocket::SocketAccessError:
      return TcpError::accessDenied;
    case QAbstractSocket::SocketResourceError:
      return TcpError::noBufferSpace;
    default:  // a number of its own, clear of the others
      return static_cast<TcpError>(10000 + static_cast<int>(error));
  }
}

}  // namespace

QtTcpSocket::QtTcpSocket() {
  QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
    dataArrived.notify(static_cast<std::size_t>(socket_.bytesAvailable()));
  });
  QObject::connect(&socket_, &QTcpSocket::errorOccurred,
                   [this](QAbstractSocket::SocketError error) {
                     errorOccurred.notify(ErrorOf(error), socket_.errorString().toStdString());
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

TcpState QtTcpSocket::state() const {
  switch (socket_.state()) {
    case QAbstractSocket::UnconnectedState:
      return TcpState::closed;
    case QAbstractSocket::HostLookupState:
      return TcpState::resolvingHost;
    case QAbstractSocket::ConnectingState:
      return TcpState::connecting;
    case QAbstractSocket::ConnectedState:
      return TcpState::connected;
    case QAbstractSocket::ClosingState:
      return TcpState::closing;
    default:
      return TcpState::error;
  }
}

void QtTcpSocket::connect() {
  unsentBytes_ = 0;
  socket_.connectToHost(QString::fromStdString(hostToDial()), static_cast<quint16>(remotePort()));
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
  std::vector<std::string> addresses;
  for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
    if (address.protocol() == QAbstractSocket::IPv4Protocol)
      addresses.push_back(address.toString().toStdString());
  }
  return MachineAddress(addresses);
}

}  // namespace scantouch
