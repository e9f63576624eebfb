#include "win32/win32_touch_injector.h"

#include <algorithm>

namespace scantouch {
namespace {

// Half the side of the contact area: about a fingertip on a screen of ordinary density.
constexpr LONG kContactRadius = 2;

struct VirtualScreen {
  LONG left, top, right, bottom;  // right and bottom inclusive

  static VirtualScreen Now() {
    const LONG left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const LONG top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + std::max(GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1, 0),
            top + std::max(GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1, 0)};
  }
  // Windows refuses a whole report where a contact lies off the desktop.
  POINT clamped(LONG x, LONG y) const {
    return POINT{std::clamp(x, left, right), std::clamp(y, top, bottom)};
  }
};

POINTER_FLAGS Flags(TouchPhase phase) {
  switch (phase) {
    case TouchPhase::down:
      return POINTER_FLAG_DOWN | POINTER_FLAG_INRANGE | POINTER_FLAG_INCONTACT;
    case TouchPhase::move:
      return POINTER_FLAG_UPDATE | POINTER_FLAG_INRANGE | POINTER_FLAG_INCONTACT;
    case TouchPhase::up:
      break;
  }
  return POINTER_FLAG_UP;
}

std::string InjectionError(DWORD error) {
  std::string meaning;
  switch (error) {
    case ERROR_TIMEOUT:
      meaning = ": more than 100 ms passed since the last report";
      break;
    case ERROR_NOT_READY:
      meaning = ": the system was not ready for another report";
      break;
    case ERROR_INVALID_PARAMETER:
      meaning = ": the system took a contact for invalid";
      break;
    case ERROR_ACCESS_DENIED:
      meaning = ": another desktop, such as the sign-in screen, may be in front";
      break;
    default:
      break;
  }
  return "InjectTouchInput failed with error " + std::to_string(error) + meaning;
}

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
  if (module == nullptr)
    return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

TouchInjectionFunctions SystemTouchInjectionFunctions() {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  TouchInjectionFunctions functions;
  functions.initialize =
      Lookup<TouchInjectionFunctions::Initialize>(user32, "InitializeTouchInjection");
  functions.inject = Lookup<TouchInjectionFunctions::Inject>(user32, "InjectTouchInput");
  return functions;
}

std::unique_ptr<Win32TouchInjector> Win32TouchInjector::Create(std::string& problem) {
  return Create(SystemTouchInjectionFunctions(), problem);
}

std::unique_ptr<Win32TouchInjector> Win32TouchInjector::Create(TouchInjectionFunctions functions,
                                                               std::string& problem) {
  if (functions.initialize == nullptr || functions.inject == nullptr) {
    problem =
        "touch injection is not available on this system (Windows 8 and later have it): the "
        "system's touch output is off";
    return nullptr;
  }
  if (!functions.initialize(kMaxContacts, TOUCH_FEEDBACK_DEFAULT)) {
    problem = "Windows refused to start touch injection (error " + std::to_string(GetLastError()) +
              "): the system's touch output is off";
    return nullptr;
  }
  return std::unique_ptr<Win32TouchInjector>(new Win32TouchInjector(functions));
}

bool Win32TouchInjector::inject(std::span<const TouchPointState> contacts) {
  problem_.clear();
  if (contacts.empty())
    return true;
  if (contacts.size() > static_cast<std::size_t>(kMaxContacts)) {
    problem_ = std::to_string(contacts.size()) + " contacts in one report, more than " +
               std::to_string(kMaxContacts);
    return false;
  }
  const VirtualScreen screen = VirtualScreen::Now();
  infos_.assign(contacts.size(), POINTER_TOUCH_INFO{});
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    const TouchPointState& contact = contacts[i];
    POINTER_TOUCH_INFO& info = infos_[i];
    info.pointerInfo.pointerType = PT_TOUCH;
    info.pointerInfo.pointerId = static_cast<UINT32>(contact.id);
    info.pointerInfo.pointerFlags = Flags(contact.phase);
    info.pointerInfo.ptPixelLocation = screen.clamped(contact.at.x, contact.at.y);
    const POINT at = info.pointerInfo.ptPixelLocation;
    const POINT topLeft = screen.clamped(at.x - kContactRadius, at.y - kContactRadius);
    const POINT bottomRight = screen.clamped(at.x + kContactRadius, at.y + kContactRadius);
    info.touchFlags = TOUCH_FLAG_NONE;
    info.touchMask = TOUCH_MASK_CONTACTAREA;
    info.rcContact = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  }
  if (functions_.inject(static_cast<UINT32>(infos_.size()), infos_.data()))
    return true;
  problem_ = InjectionError(GetLastError());
  return false;
}

}  // namespace scantouch
