#pragma once

#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

#include "web/stream_listener.h"

namespace scantouch {

// One accepted connection on QTcpSocket. Qt's signals reach the notifiers only through queued
// calls on `context_`: QTcpSocket emits some of them from within abort() or a failed write, and
// destroying `context_` drops what is still queued.
class QtStreamConnection final : public StreamConnection {
 public:
  // How long a closed connection may take to send what is queued before it is cut.
  static constexpr int kFlushBound_ms = 5000;

  // Takes `socket` over from the server that accepted it.
  explicit QtStreamConnection(QTcpSocket* socket);
  ~QtStreamConnection() override;

  std::vector<std::uint8_t> readAll() override;
  bool write(std::span<const std::uint8_t> bytes) override;
  std::size_t bytesToWrite() const override;
  void close() override;
  std::string peer() const override;

 private:
  void tellDataArrived();
  void tellDisconnected();

  QPointer<QTcpSocket> socket_;  // owned until close() hands it off to finish on its own
  QObject context_;
  std::string peer_;
  bool closed_ = false;
  bool disconnectedTold_ = false;
};

// A listening socket on QTcpServer.
class QtStreamListener final : public StreamListener {
 public:
  // Connections accepted and not yet taken; past these the system's backlog holds the rest.
  static constexpr int kMaxPending = 64;

  QtStreamListener();

  bool listen(const std::string& host, std::uint16_t port, std::string& error) override;
  std::uint16_t port() const override;
  std::unique_ptr<StreamConnection> nextPending() override;

 private:
  QTcpServer server_;
};

class QtStreamListenerFactory final : public StreamListenerFactory {
 public:
  std::unique_ptr<StreamListener> create() override { return std::make_unique<QtStreamListener>(); }
};

}  // namespace scantouch
