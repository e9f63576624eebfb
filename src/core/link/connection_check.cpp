// The once-a-second supervision of the TCP channels: connect, notice stale connections, reconnect.

#include <algorithm>
#include <string>

#include "common/blanks.h"
#include "common/number_format.h"
#include "common/numeric_value.h"
#include "link/network_form.h"

namespace scantouch {
namespace {

constexpr double kRedAfterIdleSeconds = 8;
constexpr std::size_t kMinAddressChars = 7;  // "1.2.3.4"

// The port a port text names: decimal digits only (blanks around allowed), of any length, whose
// value is 1 to 65535; "008123" is the port 8123.
std::optional<std::int32_t> PortNumberOf(std::string_view text) {
  const std::string_view digits = TrimBlanks(text);
  if (digits.empty())
    return std::nullopt;
  std::int32_t port = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9')
      return std::nullopt;
    port = std::min(port * 10 + (c - '0'), 65536);  // anything above 65535 stays too big
  }
  if (port < 1 || port > 65535)
    return std::nullopt;
  return port;
}

}  // namespace

void NetworkForm::checkConnections() {
  // By index, and fetched again after every yield: the events that run inside may change things.
  for (int index = 0; index < channelCount(); ++index)
    checkChannel(index);
  updateSendTimer();
}

void NetworkForm::showState(TcpChannel& channel) {
  channel.LBLTcpState.setCaption(std::to_string(
      StateNumber(channel.WinsockTcp ? channel.WinsockTcp->state() : TcpState::closed)));
}

void NetworkForm::checkChannel(int index) {
  TcpChannel& channel = this->channel(index);
  if (!channel.WinsockTcp)
    return;
  showState(channel);

  if (channel.TxtTcpIp.text().empty() && channel.TxtTcpPost.text().empty()) {
    channel.LblTcpNam.setTextColour(colours::kButtonFace);
  } else {
    loop_.yield();
    if (!channel.WinsockTcp)
      return;
    const TcpSocket& socket = *channel.WinsockTcp;
    const TcpState state = socket.state();
    // The port is compared as a number: "08001" is the port 8001 the socket was given.
    const auto port = PortNumberOf(channel.TxtTcpPost.text());
    const bool healthy = state == TcpState::connected &&
                         TrimBlanks(channel.TxtTcpIp.text()) == TrimBlanks(socket.remoteHost()) &&
                         port && *port == socket.remotePort();
    if (!healthy && state != TcpState::connecting)
      reconnect(channel);
    if (NumericValue(channel.LBLTcpState.tag()) > kRedAfterIdleSeconds) {
      channel.LblTcpNam.setTextColour(colours::kRed);
    }
  }

  const double idleSeconds = NumericValue(channel.LBLTcpState.tag()) + 1;
  channel.LBLTcpState.setTag(FormatShortest(idleSeconds).value_or("0"));
  // The send timer only runs while it has something to do; an entry waiting here is pending.
  if (channel.TxtTcpTx.list().size() > 0)
    channel.sendStatus = "SendData";
  if (NumericValue(TXTTCP连接超时.text()) < idleSeconds) {
    if (channel.sendStatus == "SendData")
      applySendFailurePolicy(index);
    channel.LBLTcpState.setTag("0");
    if (channel.WinsockTcp && channel.WinsockTcp->state() != TcpState::closed) {
      channel.WinsockTcp->close();
      channel.headInFlight = false;  // whatever was in flight goes again on the next connection
    }
  }
}

void NetworkForm::reconnect(TcpChannel& channel) {
  if (channel.WinsockTcp->state() != TcpState::closed) {
    channel.WinsockTcp->close();
    channel.headInFlight = false;
    loop_.yield();
    loop_.yield();
  }
  loop_.yield();
  if (!channel.WinsockTcp || channel.WinsockTcp->state() != TcpState::closed)
    return;
  const auto port = PortNumberOf(channel.TxtTcpPost.text());
  // An address shorter than "1.2.3.4" or a port that is no port: never connect.
  if (!port || channel.TxtTcpIp.text().size() < kMinAddressChars)
    return;
  TcpSocket& socket = *channel.WinsockTcp;
  socket.setLocalPort(0);
  socket.setRemoteHost(channel.TxtTcpIp.text());  // as typed; the socket ignores surrounding blanks
  socket.setRemotePort(*port);
  channel.headInFlight = false;
  socket.connect();
  loop_.yield();
  if (channel.WinsockTcp)
    showState(channel);
}

}  // namespace scantouch
