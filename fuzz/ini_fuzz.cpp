// Settings files of any content, then one write through the settings store: the key written reads
// back as written, and every other key of the file reads as it did before.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/blanks.h"
#include "config/ini_document.h"
#include "config/ini_store.h"
#include "in_memory_files.h"

namespace {

using namespace scantouch;

void Require(bool condition) {
  if (!condition)
    std::abort();
}

// Every section and key name the file's lines hold, read the simple way: a line starting "[" is a
// section, a line with "=" an entry. The reader's own rules decide what each of them reads as.
std::vector<std::pair<std::string, std::string>> NamesIn(std::string_view file) {
  std::vector<std::pair<std::string, std::string>> names;
  std::string section;
  bool inSection = false;
  while (!file.empty()) {
    const std::size_t feed = file.find('\n');
    std::string_view line = TrimBlanks(file.substr(0, feed));
    file.remove_prefix(feed == std::string_view::npos ? file.size() : feed + 1);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    line = TrimBlanks(line);
    if (!line.empty() && line.front() == '[') {
      const std::size_t close = line.rfind(']');
      section = std::string(
          TrimBlanks(line.substr(1, (close == std::string_view::npos ? line.size() : close) - 1)));
      inSection = true;
    } else if (const std::size_t equals = line.find('=');
               inSection && equals != std::string_view::npos) {
      names.emplace_back(section, std::string(TrimBlanks(line.substr(0, equals))));
    }
  }
  return names;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2)
    return 0;
  // The first byte picks the section and key to write, the next the length of the value taken from
  // the end of the input; the rest is the file.
  static const std::pair<const char*, const char*> kNames[] = {
      {"s", "k"}, {"S", "K"}, {"串口", "端口"}, {"屏幕", "左上角"}, {"new", "key"}, {"s", "k2"}};
  const auto& [section, key] = kNames[data[0] % std::size(kNames)];
  const std::size_t valueLength = std::min<std::size_t>(data[1], size - 2);
  const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::string file(rest.substr(0, rest.size() - valueLength));
  std::string value(rest.substr(rest.size() - valueLength));

  InMemoryFiles files;
  Utf8Codec codec;
  IniStore store(files, codec);
  const std::string path = "/in-memory/settings.ini";
  files.files[path] = file;
  store.WriteIniString(path, section, key, value);
  const std::string& written = files.files[path];

  // What a value reads as: up to the first NUL, CR or LF, blanks around it aside.
  const std::size_t cut = value.find_first_of(std::string_view("\0\r\n", 3));
  std::string_view expected = TrimBlanks(std::string_view(value).substr(0, cut));
  expected = expected.substr(0, IniStore::kMaxReadBytes);
  const std::string readBack = store.ReadIniString(path, section, key);
  Require(readBack == expected || readBack.size() == IniStore::kMaxReadBytes);

  for (const auto& [otherSection, otherKey] : NamesIn(file)) {
    if (SameName(otherSection, section) && SameName(otherKey, key))
      continue;
    Require(FindIniValue(file, otherSection, otherKey) ==
            FindIniValue(written, otherSection, otherKey));
  }
  return 0;
}
