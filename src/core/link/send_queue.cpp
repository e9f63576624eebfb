// The send queues of the TCP channels: entries typed or sent by the program wait in the send box's
// list, go out one at a time while the channel is connected, and leave on their completion or by
// the channel's failure policy.

#include "link/network_form.h"
#include "link/send_entry.h"

namespace scantouch {
namespace {

constexpr std::string_view kNotQueuedMark = "发送缓存:";

}  // namespace

void NetworkForm::queueSendText(int index) {
  TcpChannel& channel = this->channel(index);
  const std::string& text = channel.TxtTcpTx.text();
  if (text.empty() || text.starts_with(kNotQueuedMark))
    return;
  EntryList& queue = channel.TxtTcpTx.list();
  (void)queue.append(text);
  while (queue.size() > kMaxQueuedEntries)
    removeHead(channel);
  updateSendTimer();
}

void NetworkForm::removeHead(TcpChannel& channel) {
  EntryList& queue = channel.TxtTcpTx.list();
  if (queue.size() == 0)
    return;
  (void)queue.remove(0);
  channel.headInFlight = false;
}

void NetworkForm::sendQueuedData() {
  for (auto& owned : channels_) {
    TcpChannel& channel = *owned;
    if (channel.TxtTcpTx.list().size() == 0 || !channel.WinsockTcp)
      continue;
    channel.sendStatus = "SendData";
    if (channel.WinsockTcp->state() == TcpState::connected) {
      // Once per connection: the entry stays at the head until its completion arrives.
      if (!channel.headInFlight)
        sendHead(channel);
    } else if (PolicyNamed(channel.CMB发送失败处理方法.text()) == SendFailurePolicy::ignore) {
      removeHead(channel);
    }
  }
  updateSendTimer();
}

void NetworkForm::sendHead(TcpChannel& channel) {
  const auto bytes = BytesOfEntry(channel.TxtTcpTx.list().at(0), ansiCodec_);
  if (!bytes) {
    removeHead(channel);  // "HEX " with nothing after it: nothing to send, nothing to wait for
    return;
  }
  if (channel.WinsockTcp->send(*bytes))
    channel.headInFlight = true;
}

void NetworkForm::onSendCompleted(TcpChannel& channel) {
  // A completion removes the entry it completed, and only that one.
  if (channel.headInFlight)
    removeHead(channel);
  channel.LBLTcpState.setTag("0");
  channel.LblTcpNam.setTextColour(colours::kGreen);
  channel.sendStatus = "SendComplete";
  updateSendTimer();
}

void NetworkForm::applySendFailurePolicy(int index) {
  TcpChannel& channel = this->channel(index);
  EntryList& queue = channel.TxtTcpTx.list();
  switch (PolicyNamed(channel.CMB发送失败处理方法.text())) {
    case SendFailurePolicy::ignore:
      removeHead(channel);
      break;
    case SendFailurePolicy::untilNewerData:
      if (queue.size() > 1)
        removeHead(channel);
      break;
    case SendFailurePolicy::onlyNewest:
      while (queue.size() > 1)
        removeHead(channel);
      break;
    case SendFailurePolicy::askUser:
      if (!dialogs_.askYesNo("是否重新发送？", applicationTitle_))
        removeHead(channel);
      break;
    case SendFailurePolicy::keepTrying:
    case SendFailurePolicy::tryFiveTimes:
    case SendFailurePolicy::unknown:
      break;
  }
  channel.sendStatus = "SendErr";
}

bool NetworkForm::sendTicksWanted() const {
  for (const auto& channel : channels_) {
    if (channel->TxtTcpTx.list().size() == 0 || !channel->WinsockTcp)
      continue;
    const bool connected = channel->WinsockTcp->state() == TcpState::connected;
    if (connected && !channel->headInFlight)
      return true;
    if (!connected && PolicyNamed(channel->CMB发送失败处理方法.text()) == SendFailurePolicy::ignore)
      return true;
  }
  return false;
}

void NetworkForm::updateSendTimer() {
  // The 1 ms send timer runs only while a tick has work: an idle program costs nothing.
  TmrTcp发送.setEnabled(loaded_ && sendTicksWanted());
}

}  // namespace scantouch
