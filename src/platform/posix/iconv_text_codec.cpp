#include "posix/iconv_text_codec.h"

#include <iconv.h>

#include <cerrno>

namespace scantouch {
namespace {

// Converts with `replacement` for every input sequence the conversion cannot take; `skipWidth`
// says how many input bytes such a sequence spans.
template <typename SkipWidth>
std::string Convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, SkipWidth skipWidth) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    return std::string(input);  // no such code page here
  std::string output;
  output.reserve(input.size() * 2);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
    output.append(buffer, static_cast<std::size_t>(out - buffer));
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG)
      continue;
    // EILSEQ: a sequence the other side cannot hold; EINVAL: a sequence cut off at the end.
    const std::size_t skip = std::min(inLeft, skipWidth(std::string_view(in, inLeft)));
    output.append(replacement);
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return output;
}

// Bytes of the UTF-8 character at the start of `text` (1 for a stray byte).
std::size_t Utf8Width(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t width = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  for (std::size_t i = 1; i < width; ++i) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
      return i;
  }
  return width;
}

}  // namespace

std::string IconvTextCodec::encode(std::string_view text) const {
  return Convert(encoding_.c_str(), "UTF-8", text, "?", Utf8Width);
}

std::string IconvTextCodec::decode(std::string_view bytes) const {
  return Convert("UTF-8", encoding_.c_str(), bytes, "\xEF\xBF\xBD",
                 [](std::string_view) { return std::size_t{1}; });
}

}  // namespace scantouch
