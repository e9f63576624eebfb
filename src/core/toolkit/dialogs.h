#pragma once

#include <string_view>

namespace scantouch {

// Modal questions and notices to the user.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A Yes/No question; true for Yes.
  virtual bool askYesNo(std::string_view text, std::string_view title) = 0;
  // A notice with an OK button.
  virtual void inform(std::string_view text, std::string_view title) = 0;
};

}  // namespace scantouch
