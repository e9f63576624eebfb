#include "config/ini_document.h"

#include "common/blanks.h"

namespace scantouch {
namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i]))
      return false;
  }
  return true;
}

// One line of the file: where it starts, its content without the line ending, and where the
// next line starts.
struct Line {
  std::size_t start;
  std::string_view content;
  std::size_t next;
};

Line LineAt(std::string_view file, std::size_t start) {
  const std::size_t feed = file.find('\n', start);
  const std::size_t end = feed == std::string_view::npos ? file.size() : feed;
  std::string_view content = file.substr(start, end - start);
  if (!content.empty() && content.back() == '\r')
    content.remove_suffix(1);
  return Line{start, content, feed == std::string_view::npos ? file.size() : feed + 1};
}

// The name of a section header line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view content) {
  const std::string_view trimmed = TrimBlanks(content);
  if (trimmed.empty() || trimmed.front() != '[')
    return std::nullopt;
  // The last "]" closes the name: a GBK character's second byte may itself be "]".
  const std::size_t close = trimmed.rfind(']');
  const std::size_t end = close == std::string_view::npos ? trimmed.size() : close;
  return TrimBlanks(trimmed.substr(1, end - 1));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

// The key and value of an entry line; nullopt for comments, blank lines and lines without "=".
std::optional<Entry> EntryOf(std::string_view content) {
  const std::string_view trimmed = TrimBlanks(content);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#')
    return std::nullopt;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos)
    return std::nullopt;
  return Entry{TrimBlanks(trimmed.substr(0, equals)), TrimBlanks(trimmed.substr(equals + 1))};
}

// Where a section's lines are: the header, and the entries that belong to it.
struct SectionSpan {
  std::optional<std::size_t> header;  // start of the header line
  std::size_t end = 0;                // start of the line after its last entry or header
  std::optional<Line> keyLine;        // the first line holding the key
};

SectionSpan LocateKey(std::string_view file, std::string_view section, std::string_view key) {
  SectionSpan span;
  bool inSection = false;
  for (std::size_t at = 0; at < file.size();) {
    const Line line = LineAt(file, at);
    at = line.next;
    if (const auto name = SectionName(line.content)) {
      if (inSection)
        break;  // the first section of that name ends here
      if (SameName(*name, section)) {
        inSection = true;
        span.header = line.start;
        span.end = line.next;
      }
      continue;
    }
    if (!inSection)
      continue;
    if (const auto entry = EntryOf(line.content)) {
      span.end = line.next;
      if (!span.keyLine && SameName(entry->key, key))
        span.keyLine = line;
    }
  }
  return span;
}

std::string_view LineEndingOf(std::string_view file) {
  const std::size_t feed = file.find('\n');
  if (feed == std::string_view::npos)
    return "\r\n";
  return feed > 0 && file[feed - 1] == '\r' ? "\r\n" : "\n";
}

// Ends the text's last line if it has no line ending of its own. A last line that ends in a lone
// CR, which reads as its line ending, gets the LF that makes it one for good: another ending
// after the CR would leave the CR in the line.
void EndLastLine(std::string& text, std::string_view eol) {
  if (text.empty() || text.back() == '\n')
    return;
  if (text.back() == '\r')
    text.push_back('\n');
  else
    text.append(eol);
}

}  // namespace

std::optional<std::string_view> FindIniValue(std::string_view file, std::string_view section,
                                             std::string_view key) {
  const SectionSpan span = LocateKey(file, section, key);
  if (!span.keyLine)
    return std::nullopt;
  return EntryOf(span.keyLine->content)->value;
}

std::string SetIniValue(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::string_view eol = LineEndingOf(file);
  std::string entry;
  entry.reserve(key.size() + value.size() + 1);
  entry.append(key).append("=").append(value);

  const SectionSpan span = LocateKey(file, section, key);
  std::string result;
  result.reserve(file.size() + entry.size() + section.size() + 8);
  if (span.keyLine) {
    const std::size_t contentEnd = span.keyLine->start + span.keyLine->content.size();
    result.append(file.substr(0, span.keyLine->start))
        .append(entry)
        .append(file.substr(contentEnd));
    return result;
  }
  if (span.header) {
    result.append(file.substr(0, span.end));
    // The section's last line may be the file's last line, without a line ending of its own.
    EndLastLine(result, eol);
    result.append(entry).append(eol).append(file.substr(span.end));
    return result;
  }
  result.append(file);
  EndLastLine(result, eol);
  result.append("[").append(section).append("]").append(eol).append(entry).append(eol);
  return result;
}

}  // namespace scantouch
