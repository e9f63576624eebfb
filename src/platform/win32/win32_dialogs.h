#pragma once

#include "toolkit/dialogs.h"

namespace scantouch {

// Questions and notices as the system's message boxes.
class Win32Dialogs final : public Dialogs {
 public:
  bool askYesNo(std::string_view text, std::string_view title) override;
  void inform(std::string_view text, std::string_view title) override;
};

}  // namespace scantouch
