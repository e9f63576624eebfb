#pragma once

#include <clocale>
#include <string>

namespace scantouch::testing {

// The process under a locale that writes numbers with a decimal comma, as a GUI toolkit sets it
// from the environment on such a machine (LANG=de_DE.UTF-8); the locale before comes back at the
// end. Machines without such a locale installed have none: `available()` says so.
class CommaLocale {
 public:
  CommaLocale() : before_(std::setlocale(LC_ALL, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252"}) {
      if (std::setlocale(LC_ALL, name) != nullptr &&
          std::string(std::localeconv()->decimal_point) == ",") {
        available_ = true;
        return;
      }
    }
    std::setlocale(LC_ALL, before_.c_str());
  }
  ~CommaLocale() { std::setlocale(LC_ALL, before_.c_str()); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool available() const { return available_; }
  static constexpr const char* kMissing =
      "no locale with a decimal comma (de_DE.UTF-8) is installed; scripts/install-deps makes it";

 private:
  std::string before_;
  bool available_ = false;
};

}  // namespace scantouch::testing
