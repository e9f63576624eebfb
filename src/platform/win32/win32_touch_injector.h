#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "outputs/touch_injector.h"

namespace scantouch {

// The two functions of Windows' touch injection. They came with Windows 8, so they are looked up
// when the program runs, never linked: an older system or Wine may lack them.
struct TouchInjectionFunctions {
  using Initialize = BOOL(WINAPI*)(UINT32 maxCount, DWORD mode);
  using Inject = BOOL(WINAPI*)(UINT32 count, const POINTER_TOUCH_INFO* contacts);
  Initialize initialize = nullptr;
  Inject inject = nullptr;
};

// user32's functions; null where the system has none.
TouchInjectionFunctions SystemTouchInjectionFunctions();

// The system's touch input on Windows: contacts injected as a touch screen over the virtual
// desktop, with the touch feedback the user chose. Windows cancels contacts that went 100 ms
// without a report, so held contacts are to be reported again every 50 ms.
class Win32TouchInjector final : public TouchInjector {
 public:
  static constexpr int kMaxContacts = 10;
  static constexpr std::int64_t kRefreshInterval_ms = 50;

  // Nullptr, with what went wrong in `problem`, when the system has no touch injection or
  // refuses to start it.
  static std::unique_ptr<Win32TouchInjector> Create(std::string& problem);
  // The same over the given functions (a recording in tests).
  static std::unique_ptr<Win32TouchInjector> Create(TouchInjectionFunctions functions,
                                                    std::string& problem);

  bool inject(std::span<const TouchPointState> contacts) override;
  int maxContacts() const override { return kMaxContacts; }
  std::int64_t refreshInterval_ms() const override { return kRefreshInterval_ms; }
  std::string lastProblem() const override { return problem_; }

 private:
  explicit Win32TouchInjector(TouchInjectionFunctions functions) : functions_(functions) {}

  TouchInjectionFunctions functions_;
  std::vector<POINTER_TOUCH_INFO> infos_;
  std::string problem_;
};

}  // namespace scantouch
