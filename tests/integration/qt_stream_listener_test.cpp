// The web service's listening socket on Qt, with a plain QTcpSocket as the client, on loopback.

#include "qt/qt_stream_listener.h"

#include <gtest/gtest.h>

#include <QTcpSocket>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qt_waiting.h"

namespace scantouch {
namespace {

using testing::RunFor;
using testing::RunUntil;

// A connection taken from the listener, with what it told.
struct Taken {
  explicit Taken(std::unique_ptr<StreamConnection> taken) : connection(std::move(taken)) {
    connection->dataArrived.connect([this] {
      const std::vector<std::uint8_t> bytes = connection->readAll();
      received.append(bytes.begin(), bytes.end());
    });
    connection->disconnected.connect([this] { ++disconnects; });
  }

  std::unique_ptr<StreamConnection> connection;
  std::string received;
  int disconnects = 0;
};

// Takes each connection as soon as the listener has it, as the web service does.
struct Server {
  Server() {
    std::string error;
    listening = listener.listen("127.0.0.1", 0, error);
    listener.newConnection.connect([this] {
      if (auto connection = listener.nextPending())
        taken = std::make_unique<Taken>(std::move(connection));
    });
  }

  QtStreamListener listener;
  bool listening = false;
  std::unique_ptr<Taken> taken;
};

TEST(QtStreamListener, AReplyClosedAndDestroyedAtOnceStillReachesTheClientWholeThenItEnds) {
  Server server;
  ASSERT_TRUE(server.listening);
  ASSERT_NE(server.listener.port(), 0);

  QTcpSocket client;
  QByteArray answer;
  bool ended = false;
  QObject::connect(&client, &QTcpSocket::readyRead, [&] { answer += client.readAll(); });
  QObject::connect(&client, &QTcpSocket::disconnected, [&] { ended = true; });
  client.connectToHost(QHostAddress::LocalHost, server.listener.port());
  const std::string request = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  client.write(request.data(), static_cast<qint64>(request.size()));

  ASSERT_TRUE(RunUntil([&] { return server.taken && server.taken->received == request; }, 5000));
  StreamConnection& connection = *server.taken->connection;
  EXPECT_EQ(connection.peer(), "127.0.0.1:" + std::to_string(client.localPort()));

  std::vector<std::uint8_t> reply(1 << 20);
  for (std::size_t i = 0; i < reply.size(); ++i)
    reply[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  ASSERT_TRUE(connection.write(reply));
  ASSERT_GT(connection.bytesToWrite(), 0u) << "all sent already: the close would prove nothing";
  connection.close();
  EXPECT_FALSE(connection.write(reply)) << "a closed connection takes nothing more";
  server.taken.reset();

  ASSERT_TRUE(RunUntil([&] { return ended; }, 10000)) << answer.size() << " bytes came";
  answer += client.readAll();
  ASSERT_EQ(static_cast<std::size_t>(answer.size()), reply.size());
  EXPECT_TRUE(std::equal(reply.begin(), reply.end(), answer.begin(),
                         [](std::uint8_t sent, char got) { return sent == std::uint8_t(got); }));
}

TEST(QtStreamListener, APortInUseFailsWithTheReasonAndANameListensOnItsAddress) {
  Server first;
  ASSERT_TRUE(first.listening);

  QtStreamListener second;
  std::string error;
  EXPECT_FALSE(second.listen("127.0.0.1", first.listener.port(), error));
  EXPECT_NE(error, "");
  EXPECT_EQ(second.port(), 0);

  // "localhost" is where a client given 127.0.0.1 finds it, whatever the system lists first.
  QtStreamListener named;
  ASSERT_TRUE(named.listen("localhost", 0, error)) << error;
  QTcpSocket client;
  client.connectToHost(QHostAddress::LocalHost, named.port());
  EXPECT_TRUE(RunUntil([&] { return client.state() == QAbstractSocket::ConnectedState; }, 5000))
      << client.errorString().toStdString();
}

TEST(QtStreamListener, APeerThatClosesIsToldOnceAfterWhatItSentLastEvenWithTheListenerGone) {
  auto server = std::make_unique<Server>();
  ASSERT_TRUE(server->listening);
  QTcpSocket client;
  client.connectToHost(QHostAddress::LocalHost, server->listener.port());
  ASSERT_TRUE(RunUntil([&] { return server->taken != nullptr; }, 5000));
  const std::unique_ptr<Taken> taken = std::move(server->taken);
  server.reset();

  client.write("bye");
  client.disconnectFromHost();
  ASSERT_TRUE(RunUntil([&] { return taken->disconnects > 0; }, 5000));
  RunFor(100);
  EXPECT_EQ(taken->disconnects, 1);
  EXPECT_EQ(taken->received, "bye");
  EXPECT_FALSE(taken->connection->write(std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(QtStreamListener, AConnectionTakenAfterItsPeerLeftStillTellsWhatCameAndTheEnd) {
  QtStreamListener listener;
  std::string error;
  ASSERT_TRUE(listener.listen("127.0.0.1", 0, error)) << error;
  bool accepted = false;
  listener.newConnection.connect([&] { accepted = true; });
  QTcpSocket client;
  client.connectToHost(QHostAddress::LocalHost, listener.port());
  client.write("early");
  client.disconnectFromHost();
  ASSERT_TRUE(RunUntil([&] { return accepted; }, 5000));
  RunFor(200);  // Qt reads and sees the end while nobody has taken the connection

  Taken taken(listener.nextPending());
  ASSERT_TRUE(RunUntil([&] { return taken.disconnects > 0; }, 5000));
  EXPECT_EQ(taken.received, "early");
  EXPECT_EQ(taken.disconnects, 1);
}

}  // namespace
}  // namespace scantouch
