#pragma once

#include <string>

#include "config/text_codec.h"

namespace scantouch {

// Text in a legacy code page through iconv, such as "CP936" for the GBK files written on
// Chinese Windows installations.
class IconvTextCodec final : public TextCodec {
 public:
  explicit IconvTextCodec(std::string encoding) : encoding_(std::move(encoding)) {}

  std::string encode(std::string_view text) const override;
  std::string decode(std::string_view bytes) const override;

 private:
  std::string encoding_;
};

}  // namespace scantouch
