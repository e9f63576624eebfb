#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings_file.h"
#include "config/text_codec.h"
#include "link/received_bytes.h"
#include "link/tcp_socket.h"
#include "toolkit/button.h"
#include "toolkit/dialogs.h"
#include "toolkit/event_loop.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"
#include "toolkit/text_box.h"
#include "toolkit/timer.h"

namespace scantouch {

// One row of the network window: a TCP client connection to a networked scanner, its send queue
// and its display.
struct TcpChannel {
  explicit TcpChannel(int index);

  const int index;
  TextBox TxtTcpIp;               // server address, dotted IPv4
  TextBox TxtTcpPost;             // server port
  TextBox TxtTcpNam;              // channel name, stored only
  Label LBLTcpState;              // socket state number; its tag counts idle seconds
  Label LblTcpNam;                // "TCPS0": its colour shows the channel's health
  TextBox TxtTcpRx;               // free scratch box
  ComboBox TxtTcpTx;              // edit text: input line; list: the send queue
  ComboBox CMB发送失败处理方法;   // failure policy
  ComboBox CMDTCP同步到其它端口;  // stored and restored only
  std::unique_ptr<TcpSocket> WinsockTcp;

  // "init", "SendData" while an entry is pending, "SendComplete", "SendErr", or the number of
  // the last socket error.
  std::string sendStatus = "init";
  // The head of the queue went out on the current connection and awaits its completion.
  bool headInFlight = false;
};

// What the network window needs of the main window.
struct NetworkFormLinks {
  ListBox& eventLog;        // List1 of the main window
  ReceivedBytes& receiver;  // takes every received block as its channel's
};

// The network window: TCP client channels to networked scanners, supervised once a second and
// reconnected, with their send queues, failure policies and settings in "配置.ini". It is loaded
// at its first use and then stays loaded, hidden or shown, until the program ends.
class NetworkForm {
 public:
  static constexpr std::size_t kMaxQueuedEntries = 1000;
  static constexpr const char* kSettingsFileName = "配置.ini";

  NetworkForm(EventLoop& loop, TcpSocketFactory& sockets, Dialogs& dialogs, SettingsFile& settings,
              const TextCodec& ansiCodec, NetworkFormLinks links, std::string applicationTitle,
              int channelCount = 1);
  ~NetworkForm();
  NetworkForm(const NetworkForm&) = delete;
  NetworkForm& operator=(const NetworkForm&) = delete;

  // Loads the window if it is not loaded yet: sockets, settings, timers.
  void ensureLoaded();
  bool loaded() const { return loaded_; }
  void show();
  void hide() { Window.setVisible(false); }

  int channelCount() const { return static_cast<int>(channels_.size()); }
  TcpChannel& channel(int index) { return *channels_.at(static_cast<std::size_t>(index)); }

  // Appends a line at the bottom of the main window's event log.
  void LogBook(std::string_view text);

  void checkConnections();
  void reloadChannels();
  void loadNetworkSettings();
  void saveNetworkSettings();

  // Every control of the window, each channel's included, each once: what a view of the window
  // accounts for.
  std::vector<Control*> controls();

  void queueSendText(int index);
  void sendQueuedData();
  void applySendFailurePolicy(int index);

  Control Window{"FRMSOCK"};
  TextBox TXTTCP连接超时{"TXTTCP连接超时"};
  TextBox Text1{"Text1"};  // the last received block as hex text
  TextBox Text2{"Text2"};  // index of that block's last byte
  TextBox Text5{"Text5"};  // local address
  Button Command1{"Command1", "读取并重新配置"};
  Button Command2{"Command2", "保存"};
  Button Command3{"Command3", "隐藏"};
  Timer TMRTCPC连接状态判断;
  Timer TmrTcp发送;

 private:
  void runLoadHandler();
  void wireControls(TcpChannel& channel);
  void wireSocket(TcpChannel& channel);
  void checkChannel(int index);
  void reconnect(TcpChannel& channel);
  void receive(TcpChannel& channel);
  void onSocketError(TcpChannel& channel, int number, const std::string& description);
  void onSendCompleted(TcpChannel& channel);
  void sendHead(TcpChannel& channel);
  void removeHead(TcpChannel& channel);
  bool sendTicksWanted() const;
  void updateSendTimer();
  void showState(TcpChannel& channel);

  EventLoop& loop_;
  TcpSocketFactory& sockets_;
  Dialogs& dialogs_;
  SettingsFile& settings_;
  const TextCodec& ansiCodec_;
  NetworkFormLinks links_;
  std::string applicationTitle_;
  std::vector<std::unique_ptr<TcpChannel>> channels_;
  bool loaded_ = false;
};

}  // namespace scantouch
