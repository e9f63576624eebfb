#pragma once

#include <string>

#include "app/autostart.h"

namespace scantouch {

// The program started at log-in by a value under the user's Run key
// (HKCU\Software\Microsoft\Windows\CurrentVersion\Run), running `program` from where it is. Each
// copy of the program has a value of its own, "<baseName>-<hash of its path>", so that two
// portable copies never share one; the value `baseName` that earlier versions wrote for every
// copy counts as this program's when it runs this same program, and is replaced by its own.
class RunKeyAutostart final : public Autostart {
 public:
  explicit RunKeyAutostart(std::wstring program, std::wstring baseName = L"scantouch");

  bool enabled() const override;
  bool setEnabled(bool enabled) override;
  const std::wstring& valueName() const { return name_; }

 private:
  bool ownsEarlierValue() const;

  std::wstring program_;
  std::wstring earlierName_;
  std::wstring name_;
};

}  // namespace scantouch
