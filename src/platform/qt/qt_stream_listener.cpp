#include "qt/qt_stream_listener.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QTimer>

namespace scantouch {
namespace {

std::string PeerOf(const QTcpSocket& socket) {
  // A listener on "::" sees IPv4 peers as mapped IPv6 addresses; the log shows them as IPv4.
  const QHostAddress address = socket.peerAddress();
  bool isIpv4 = false;
  const quint32 ipv4 = address.toIPv4Address(&isIpv4);
  const QString text =
      isIpv4 ? QHostAddress(ipv4).toString() : QStringLiteral("[%1]").arg(address.toString());
  return (text + QLatin1Char(':') + QString::number(socket.peerPort())).toStdString();
}

// An address is taken as it is, "::" as the dual-stack any-address so that IPv4 clients reach it
// too. A name is looked up while the caller waits: it is "localhost" or the machine's own, which
// the system answers from its own tables. Of a name's addresses IPv4 comes first, the one a
// browser given "localhost" always tries.
bool AddressOf(QString host, QHostAddress& address, std::string& error) {
  if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
    host = host.mid(1, host.size() - 2);
  if (address.setAddress(host)) {
    if (address == QHostAddress(QHostAddress::AnyIPv6))
      address = QHostAddress(QHostAddress::Any);
    return true;
  }
  const QHostInfo info = QHostInfo::fromName(host);
  const QList<QHostAddress> found = info.addresses();
  if (found.isEmpty()) {
    error = info.errorString().toStdString();
    return false;
  }
  address = found.front();
  for (const QHostAddress& candidate : found) {
    if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
      address = candidate;
      break;
    }
  }
  return true;
}

// Lets a closed socket send what is queued on its own, then end; a peer that does not take it
// within the bound is cut off.
void HandOff(QTcpSocket* socket) {
  QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
  // Nobody reads any more: what still comes is dropped rather than held.
  QObject::connect(socket, &QIODevice::readyRead, socket, [socket] { socket->readAll(); });
  QTimer::singleShot(QtStreamConnection::kFlushBound_ms, socket, [socket] {
    socket->abort();
    socket->deleteLater();
  });
  socket->disconnectFromHost();
  if (socket->state() == QAbstractSocket::UnconnectedState)
    socket->deleteLater();
}

}  // namespace

QtStreamConnection::QtStreamConnection(QTcpSocket* socket)
    : socket_(socket), peer_(PeerOf(*socket)) {
  // Off the server, so that it outlives the listener.
  socket->setParent(nullptr);
  QObject::connect(
      socket, &QIODevice::readyRead, &context_, [this] { tellDataArrived(); },
      Qt::QueuedConnection);
  QObject::connect(
      socket, &QAbstractSocket::disconnected, &context_, [this] { tellDisconnected(); },
      Qt::QueuedConnection);
  QObject::connect(
      socket, &QAbstractSocket::errorOccurred, &context_,
      [this] {
        if (!closed_ && socket_->state() != QAbstractSocket::ConnectedState)
          tellDisconnected();
      },
      Qt::QueuedConnection);
  // Bytes and a close that came while the connection waited to be taken were signalled to
  // nobody.
  if (socket->bytesAvailable() > 0)
    QMetaObject::invokeMethod(
        &context_, [this] { tellDataArrived(); }, Qt::QueuedConnection);
  if (socket->state() != QAbstractSocket::ConnectedState)
    QMetaObject::invokeMethod(
        &context_, [this] { tellDisconnected(); }, Qt::QueuedConnection);
}

QtStreamConnection::~QtStreamConnection() {
  // Unless closed, cut at once: QAbstractSocket aborts when destroyed.
  if (!closed_)
    delete socket_.data();
}

void QtStreamConnection::tellDataArrived() {
  if (!closed_ && socket_->bytesAvailable() > 0)
    dataArrived.notify();
}

void QtStreamConnection::tellDisconnected() {
  if (closed_ || disconnectedTold_)
    return;
  disconnectedTold_ = true;
  disconnected.notify();
}

std::vector<std::uint8_t> QtStreamConnection::readAll() {
  if (closed_)
    return {};
  const QByteArray bytes = socket_->readAll();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool QtStreamConnection::write(std::span<const std::uint8_t> bytes) {
  if (closed_ || socket_->state() != QAbstractSocket::ConnectedState)
    return false;
  // QTcpSocket keeps all of it in its own buffer, so a write is never cut short.
  const auto size = static_cast<qint64>(bytes.size());
  return size == 0 || socket_->write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

std::size_t QtStreamConnection::bytesToWrite() const {
  return socket_ ? static_cast<std::size_t>(socket_->bytesToWrite()) : 0;
}

void QtStreamConnection::close() {
  if (closed_)
    return;
  closed_ = true;
  QObject::disconnect(socket_, nullptr, &context_, nullptr);
  HandOff(socket_);
}

std::string QtStreamConnection::peer() const {
  return peer_;
}

QtStreamListener::QtStreamListener() {
  server_.setMaxPendingConnections(kMaxPending);
  QObject::connect(&server_, &QTcpServer::newConnection, [this] { newConnection.notify(); });
}

bool QtStreamListener::listen(const std::string& host, std::uint16_t port, std::string& error) {
  QHostAddress address;
  if (!AddressOf(QString::fromStdString(host), address, error))
    return false;
  server_.close();
  if (!server_.listen(address, port)) {
    error = server_.errorString().toStdString();
    return false;
  }
  return true;
}

std::uint16_t QtStreamListener::port() const {
  return server_.isListening() ? server_.serverPort() : 0;
}

std::unique_ptr<StreamConnection> QtStreamListener::nextPending() {
  QTcpSocket* socket = server_.nextPendingConnection();
  if (socket == nullptr)
    return nullptr;
  return std::make_unique<QtStreamConnection>(socket);
}

}  // namespace scantouch
