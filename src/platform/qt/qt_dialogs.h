#pragma once

#include "toolkit/dialogs.h"

namespace scantouch {

// Modal message boxes.
class QtDialogs final : public Dialogs {
 public:
  bool askYesNo(std::string_view text, std::string_view title) override;
  void inform(std::string_view text, std::string_view title) override;
};

}  // namespace scantouch
