#pragma once

#include <string>
#include <vector>

#include "app/instance_guard.h"
#include "app/tray_icon.h"

namespace scantouch::testing {

class FakeTrayIcon final : public TrayIcon {
 public:
  bool add(std::string_view text) override {
    tip = text;
    shown = available;
    return available;
  }
  void remove() override { shown = false; }
  void popUpMenu() override { ++menusOpened; }

  bool available = true;  // false: a desktop without a notification area
  bool shown = false;
  std::string tip;
  int menusOpened = 0;
};

class FakeInstanceGuard final : public InstanceGuard {
 public:
  bool anotherInstanceRunning() override { return another; }
  bool another = false;
};

}  // namespace scantouch::testing
