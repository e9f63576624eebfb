// The TCP channels' settings in "配置.ini": read when the network window loads, written on "保存".

#include <string>

#include "link/network_form.h"
#include "link/send_entry.h"

namespace scantouch {
namespace {

constexpr std::string_view kSection = "网络参数";

std::string KeyOf(std::string_view base, int index) {
  return std::string(base) + std::to_string(index);
}

}  // namespace

void NetworkForm::loadNetworkSettings() {
  for (auto& owned : channels_) {
    TcpChannel& channel = *owned;
    const int i = channel.index;
    channel.TxtTcpIp.setText(settings_.read(kSection, KeyOf("TxtTcpIp", i)));
    channel.TxtTcpPost.setText(settings_.read(kSection, KeyOf("TxtTcpPost", i)));
    channel.TxtTcpNam.setText(settings_.read(kSection, KeyOf("TxtTcp通道名称", i)));
    channel.CMDTCP同步到其它端口.setText(
        settings_.read(kSection, KeyOf("TxtTCP同步到其它端口", i)));
    channel.CMB发送失败处理方法.setText(settings_.read(kSection, KeyOf("发送失败处理方法", i)));
    if (channel.CMB发送失败处理方法.text().empty())
      channel.CMB发送失败处理方法.setText(kPolicyEntries[0]);
  }
}

void NetworkForm::saveNetworkSettings() {
  for (auto& owned : channels_) {
    TcpChannel& channel = *owned;
    const int i = channel.index;
    settings_.write(kSection, KeyOf("TxtTcpIp", i), channel.TxtTcpIp.text());
    settings_.write(kSection, KeyOf("TxtTcpPost", i), channel.TxtTcpPost.text());
    settings_.write(kSection, KeyOf("TxtTcp通道名称", i), channel.TxtTcpNam.text());
    settings_.write(kSection, KeyOf("TxtTCP同步到其它端口", i),
                    channel.CMDTCP同步到其它端口.text());
    settings_.write(kSection, KeyOf("发送失败处理方法", i), channel.CMB发送失败处理方法.text());
  }
}

}  // namespace scantouch
