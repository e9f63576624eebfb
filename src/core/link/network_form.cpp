#include "link/network_form.h"

#include <utility>

#include "common/hex_text.h"
#include "common/numeric_value.h"
#include "link/send_entry.h"

namespace scantouch {
namespace {

constexpr std::int64_t kCheckInterval_ms = 1000;
constexpr std::int64_t kSendInterval_ms = 1;
constexpr std::size_t kMaxReceiveBoxChars = 1000;
constexpr double kMinConnectTimeout_s = 10;

}  // namespace

TcpChannel::TcpChannel(int channelIndex)
    : index(channelIndex),
      TxtTcpIp("TxtTcpIp", channelIndex),
      TxtTcpPost("TxtTcpPost", channelIndex),
      TxtTcpNam("TxtTcpNam", channelIndex),
      LBLTcpState("LBLTcpState", channelIndex),
      LblTcpNam("LblTcpNam", channelIndex),
      TxtTcpRx("TxtTcpRx", channelIndex),
      TxtTcpTx("TxtTcpTx", channelIndex),
      CMB发送失败处理方法("CMB发送失败处理方法", channelIndex),
      CMDTCP同步到其它端口("CMDTCP同步到其它端口", channelIndex) {
  LBLTcpState.setCaption("-1");
  LblTcpNam.setCaption("TCPS" + std::to_string(channelIndex));
  TxtTcpPost.setText("8001");
  for (const std::string_view entry : kPolicyEntries)
    (void)CMB发送失败处理方法.list().append(entry);
  CMB发送失败处理方法.setText(kPolicyEntries[0]);
}

NetworkForm::NetworkForm(EventLoop& loop, TcpSocketFactory& sockets, Dialogs& dialogs,
                         SettingsFile& settings, const TextCodec& ansiCodec, NetworkFormLinks links,
                         std::string applicationTitle, int channelCount)
    : TMRTCPC连接状态判断("TMRTCPC连接状态判断", loop, kCheckInterval_ms, false),
      TmrTcp发送("TmrTcp发送", loop, kSendInterval_ms, false),
      loop_(loop),
      sockets_(sockets),
      dialogs_(dialogs),
      settings_(settings),
      ansiCodec_(ansiCodec),
      links_(links),
      applicationTitle_(std::move(applicationTitle)) {
  Window.setVisible(false);
  TXTTCP连接超时.setText("15");
  for (int index = 0; index < channelCount; ++index) {
    channels_.push_back(std::make_unique<TcpChannel>(index));
    wireControls(*channels_.back());
  }
  // Channel 0's socket is part of the window's design; the others are made when it loads.
  channels_.front()->WinsockTcp = sockets_.create();
  wireSocket(*channels_.front());

  TXTTCP连接超时.changed.connect([this] {
    if (NumericValue(TXTTCP连接超时.text()) < kMinConnectTimeout_s) {
      (void)links_.eventLog.addItem("TCP连接超时时间必须大于10秒");
    }
  });
  TMRTCPC连接状态判断.ticked.connect([this] { checkConnections(); });
  TmrTcp发送.ticked.connect([this] { sendQueuedData(); });
  Command1.clicked.connect([this] { reloadChannels(); });
  Command2.clicked.connect([this] { saveNetworkSettings(); });
  Command3.clicked.connect([this] { hide(); });
}

NetworkForm::~NetworkForm() = default;

void NetworkForm::wireSocket(TcpChannel& channel) {
  TcpSocket& socket = *channel.WinsockTcp;
  socket.dataArrived.connect([this, &channel](std::size_t) { receive(channel); });
  socket.errorOccurred.connect([this, &channel](TcpError error, const std::string& description) {
    onSocketError(channel, ErrorNumber(error), description);
  });
  socket.sendCompleted.connect([this, &channel] { onSendCompleted(channel); });
  socket.connected.connect([this] { updateSendTimer(); });
}

void NetworkForm::wireControls(TcpChannel& channel) {
  channel.LBLTcpState.changed.connect([&channel] {
    if (channel.LBLTcpState.caption() != std::to_string(StateNumber(TcpState::connected)))
      channel.LblTcpNam.setTextColour(colours::kRed);
  });
  channel.TxtTcpRx.changed.connect([&channel] {
    if (channel.TxtTcpRx.text().size() > kMaxReceiveBoxChars)
      channel.TxtTcpRx.setText("");
  });
  channel.TxtTcpTx.changed.connect([this, &channel] { queueSendText(channel.index); });
}

void NetworkForm::ensureLoaded() {
  if (loaded_)
    return;
  loaded_ = true;
  runLoadHandler();
  TMRTCPC连接状态判断.setEnabled(true);
  updateSendTimer();
}

void NetworkForm::runLoadHandler() {
  for (auto& channel : channels_) {
    if (channel->index == 0 || channel->WinsockTcp)
      continue;
    channel->WinsockTcp = sockets_.create();
    if (channel->WinsockTcp)
      wireSocket(*channel);
    channel->CMB发送失败处理方法.setText(kPolicyEntries[0]);
  }
  loadNetworkSettings();
  if (channels_.front()->WinsockTcp)
    Text5.setText(channels_.front()->WinsockTcp->localAddress());
}

void NetworkForm::show() {
  ensureLoaded();
  Window.setVisible(true);
}

void NetworkForm::LogBook(std::string_view text) {
  (void)links_.eventLog.addItem(text);
}

void NetworkForm::reloadChannels() {
  for (auto& channel : channels_) {
    if (channel->index == 0 || !channel->WinsockTcp)
      continue;
    channel->WinsockTcp->close();
    channel->WinsockTcp.reset();
    channel->headInFlight = false;
  }
  loop_.yield();
  runLoadHandler();
}

void NetworkForm::receive(TcpChannel& channel) {
  const std::vector<std::uint8_t> bytes = channel.WinsockTcp->readAll();
  channel.LBLTcpState.setTag("0");
  channel.LblTcpNam.setTextColour(colours::kGreen);
  if (bytes.empty())
    return;
  links_.receiver.received(LinkId{channel.index}, bytes);
  // Its hex text only while the window is shown: the next block after showing it replaces it.
  if (Window.visible())
    Text1.setText(HexText(bytes));
  Text2.setText(std::to_string(bytes.size() - 1));
}

void NetworkForm::onSocketError(TcpChannel& channel, int number, const std::string& description) {
  // The same error again, with nothing in between, is logged once.
  if (NumericValue(channel.sendStatus) != number) {
    LogBook(std::to_string(number) + description + ".  " + channel.LblTcpNam.caption());
  }
  channel.sendStatus = std::to_string(number);
  updateSendTimer();
}

}  // namespace scantouch
