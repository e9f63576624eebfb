#include "config/ini_store.h"

#include "config/ini_document.h"

namespace scantouch {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsGbkLeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}

// At most `limit` bytes of GBK text, never ending on the first half of a two-byte character.
std::string_view CutGbk(std::string_view bytes, std::size_t limit) {
  if (bytes.size() <= limit)
    return bytes;
  std::size_t end = 0;
  while (end < limit) {
    const std::size_t width = IsGbkLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
    if (end + width > limit)
      break;
    end += width;
  }
  return bytes.substr(0, end);
}

// At most `limit` bytes of UTF-8 text, never ending inside a character.
std::string_view CutUtf8Bytes(std::string_view bytes, std::size_t limit) {
  if (bytes.size() <= limit)
    return bytes;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
    --end;
  return bytes.substr(0, end);
}

// At most `limit` characters of UTF-8 text.
std::string_view CutUtf8Chars(std::string_view text, std::size_t limit) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == limit)
      return text.substr(0, i);
  }
  return text;
}

}  // namespace

std::string IniStore::ReadIniString(const std::string& path, std::string_view section,
                                    std::string_view key) const {
  const auto file = files_.readAll(path);
  if (!file)
    return "";
  std::string_view content = *file;
  const bool utf8 = content.starts_with(kUtf8Mark);
  if (utf8)
    content.remove_prefix(kUtf8Mark.size());
  const TextCodec& codec = utf8 ? static_cast<const TextCodec&>(utf8Codec_) : ansiCodec_;

  const auto value = FindIniValue(content, codec.encode(section), codec.encode(key));
  if (!value)
    return "";
  const std::string_view cut =
      utf8 ? CutUtf8Bytes(*value, kMaxReadBytes) : CutGbk(*value, kMaxReadBytes);
  return codec.decode(cut);
}

void IniStore::WriteIniString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view value) {
  const std::size_t lineBreak = value.find_first_of(std::string_view("\0\r\n", 3));
  if (lineBreak != std::string_view::npos)
    value = value.substr(0, lineBreak);
  value = CutUtf8Chars(value, kMaxWriteChars);

  const std::optional<std::string> read = files_.readAll(path);
  if (!read && files_.exists(path)) {
    reports_.report(path + "\nread", "cannot read " + path + ": left as it is; [" +
                                         std::string(section) + "] " + std::string(key) +
                                         " and later changes are not stored");
    return;
  }
  reports_.clear(path + "\nread");
  const std::string old = read.value_or("");
  std::string_view content = old;
  const bool utf8 = content.starts_with(kUtf8Mark);
  if (utf8)
    content.remove_prefix(kUtf8Mark.size());
  const TextCodec& codec = utf8 ? static_cast<const TextCodec&>(utf8Codec_) : ansiCodec_;

  std::string updated(utf8 ? kUtf8Mark : "");
  updated += SetIniValue(content, codec.encode(section), codec.encode(key), codec.encode(value));
  if (updated == old)
    return;  // the same value again: the file stays as it is
  if (files_.replace(path, updated)) {
    reports_.clear(path + "\nwrite");
    return;
  }
  // The old file stays; the program goes on with the value it holds.
  reports_.report(path + "\nwrite", "cannot write " + path + ": [" + std::string(section) + "] " +
                                        std::string(key) + " and later changes are not stored");
}

}  // namespace scantouch
