#include "free_port.h"

#include <QTcpServer>

namespace scantouch::testing {

int FreeLoopbackPort() {
  QTcpServer server;
  server.listen(QHostAddress::LocalHost, 0);
  return server.serverPort();
}

}  // namespace scantouch::testing
