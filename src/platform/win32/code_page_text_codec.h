#pragma once

#include "config/text_codec.h"

namespace scantouch {

// Text in a Windows code page, 936 (GBK) for the settings files of earlier installations.
// Characters the code page cannot hold are written as "?"; bytes that are no character read as
// U+FFFD, as on Linux.
class CodePageTextCodec final : public TextCodec {
 public:
  explicit CodePageTextCodec(unsigned codePage = 936) : codePage_(codePage) {}
  std::string encode(std::string_view text) const override;
  std::string decode(std::string_view bytes) const override;

 private:
  unsigned codePage_;
};

}  // namespace scantouch
