#include "network_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "bindings.h"
#include "main_window.h"

namespace scantouch::gui {
namespace {

QString Q(const char* text) {
  return QString::fromUtf8(text);
}

}  // namespace

NetworkWindow::NetworkWindow(NetworkForm& form, FramePacer& pacer) : form_(form) {
  setWindowTitle(Q("网络控制调试窗口"));
  auto* column = new QVBoxLayout(this);

  auto* client = new QGroupBox(Q("TCP client"));
  auto* grid = new QGridLayout(client);
  const char* headings[] = {
      "", "IP", "端口", "名称", "状态", "发送", "发送失败处理方法", "同步到其它端口", "接收"};
  for (int c = 0; c < 9; ++c)
    grid->addWidget(new QLabel(Q(headings[c])), 0, c);
  for (int i = 0; i < form.channelCount(); ++i) {
    TcpChannel& channel = form.channel(i);
    const int row = i + 1;
    grid->addWidget(Bind(channel.LblTcpNam, new QLabel), row, 0);
    grid->addWidget(Bind(channel.TxtTcpIp, new QLineEdit), row, 1);
    grid->addWidget(Bind(channel.TxtTcpPost, new QLineEdit), row, 2);
    grid->addWidget(Bind(channel.TxtTcpNam, new QLineEdit), row, 3);
    grid->addWidget(Bind(channel.LBLTcpState, new QLabel), row, 4);
    grid->addWidget(BindPaced(channel.TxtTcpTx, new QComboBox, pacer), row, 5);
    grid->addWidget(BindPaced(channel.CMB发送失败处理方法, new QComboBox, pacer), row, 6);
    grid->addWidget(BindPaced(channel.CMDTCP同步到其它端口, new QComboBox, pacer), row, 7);
    grid->addWidget(Bind(channel.TxtTcpRx, new QLineEdit), row, 8);
  }
  column->addWidget(client);

  auto* settings = new QHBoxLayout;
  settings->addWidget(new QLabel(Q("连接超时（秒）：")));
  settings->addWidget(Bind(form.TXTTCP连接超时, new QLineEdit));
  settings->addWidget(new QLabel(Q("本机IP：")));
  settings->addWidget(Bind(form.Text5, new QLineEdit));
  settings->addWidget(new QLabel(Q("注意防火墙是否打开.")));
  column->addLayout(settings);

  auto* received = new QHBoxLayout;
  auto* block = BindPaced(form.Text1, new QPlainTextEdit, pacer);
  block->setMaximumHeight(80);
  received->addWidget(block, 1);
  received->addWidget(BindPaced(form.Text2, new QLineEdit, pacer));
  column->addLayout(received);

  auto* buttons = new QHBoxLayout;
  for (Button* button : {&form.Command1, &form.Command2, &form.Command3}) {
    buttons->addWidget(Bind(*button, new QPushButton));
  }
  column->addLayout(buttons);
  resize(QSize(1000, 300).boundedTo(MainWindow::DefaultSize()));

  const auto follow = [this] { setVisible(form_.Window.visible()); };
  form.Window.visibilityChanged.connect(follow);
}

void NetworkWindow::closeEvent(QCloseEvent* event) {
  // The window, its sockets and its timers live on; closing only hides.
  event->ignore();
  form_.hide();
}

}  // namespace scantouch::gui
