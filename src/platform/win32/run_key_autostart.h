#pragma once

#include <string>

#include "app/autostart.h"

namespace scantouch {

// The program started at log-in by the value `name` under the user's Run key
// (HKCU\Software\Microsoft\Windows\CurrentVersion\Run), running `program` from where it is.
class RunKeyAutostart final : public Autostart {
 public:
  RunKeyAutostart(std::wstring name, std::wstring program)
      : name_(std::move(name)), program_(std::move(program)) {}

  bool enabled() const override;
  bool setEnabled(bool enabled) override;

 private:
  std::wstring name_;
  std::wstring program_;
};

}  // namespace scantouch
