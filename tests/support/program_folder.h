#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "config/ini_store.h"
#include "posix/iconv_text_codec.h"
#include "posix/posix_file_access.h"

namespace scantouch::testing {

// A folder from which the installed program runs: the program itself and its two settings files,
// in GBK, for a networked scanner on 127.0.0.1:`port`, the touch rectangle 5000,2000 5000 x 3000
// above a scanner at 7500,7500, and the given screen area. Cursor moves and clicks are on.
struct ProgramFolder {
  std::filesystem::path path;
  std::string screenTopLeft = "0,0";
  std::string screenSize = "1000,600";
  bool hideAtStartup = false;
  // The radar view's display mode (0 outline, 1 rays, 2 single points); unwritten when empty, as
  // before a first start.
  std::string displayMode{};
  // Keys of the touch engine's section "触控引擎", written only when there are any.
  std::vector<std::pair<std::string, std::string>> touchEngine{};
  // Further networked scanners on 127.0.0.1, on TCP channels 1, 2, ...
  std::vector<int> furtherPorts{};

  void create(int port, const std::string& program) const {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    std::filesystem::copy_file(program, path / "scantouch");
    PosixFileAccess files;
    IconvTextCodec gbk("CP936");
    IniStore store(files, gbk);
    const std::string main = (path / "系统配置.ini").string();
    for (const auto& [key, value] : {std::pair<const char*, std::string>{"雷达位置", "7500,7500"},
                                     {"标定左上角", "5000,2000"},
                                     {"标定右下角", "5000,3000"},
                                     {"屏幕左上角", screenTopLeft},
                                     {"屏幕宽高", screenSize},
                                     {"灵敏度", "2"},
                                     {"角度校正", "0"}}) {
      store.WriteIniString(main, "参数设置", key, value);
    }
    store.WriteIniString(main, "动作设置", "鼠标移动", "1");
    store.WriteIniString(main, "动作设置", "鼠标点击", "1");
    store.WriteIniString(main, "动作设置", "开机自动隐藏", hideAtStartup ? "1" : "0");
    if (!displayMode.empty())
      store.WriteIniString(main, "曲线模式", "曲线模式", displayMode);
    for (const auto& [key, value] : touchEngine)
      store.WriteIniString(main, "触控引擎", key, value);
    const std::string network = (path / "配置.ini").string();
    store.WriteIniString(network, "网络参数", "TxtTcpIp0", "127.0.0.1");
    store.WriteIniString(network, "网络参数", "TxtTcpPost0", std::to_string(port));
    for (std::size_t i = 0; i < furtherPorts.size(); ++i) {
      const std::string channel = std::to_string(i + 1);
      store.WriteIniString(network, "网络参数", "TxtTcpIp" + channel, "127.0.0.1");
      store.WriteIniString(network, "网络参数", "TxtTcpPost" + channel,
                           std::to_string(furtherPorts[i]));
    }
  }
  void remove() const { std::filesystem::remove_all(path); }

  // A runtime folder of the program's own in the folder, private as the desktop's is: another
  // copy running on this machine must not make this one stop at the "already running" warning.
  std::string runtimeFolder() const {
    const std::filesystem::path runtime = path / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    return runtime.string();
  }
};

}  // namespace scantouch::testing
