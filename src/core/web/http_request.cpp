#include "web/http_request.h"

#include <algorithm>

#include "common/blanks.h"

namespace scantouch {
namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

// RFC 9110 token characters, for methods and field names.
bool IsTokenChar(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
    return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenChar);
}

// Visible ASCII, as a request target must be.
bool IsTargetText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

}  // namespace

std::optional<std::string> HttpRequest::field(std::string_view name) const {
  std::optional<std::string> value;
  for (const auto& [fieldName, fieldValue] : fields) {
    if (fieldName != name)
      continue;
    value = value ? *value + ", " + fieldValue : fieldValue;
  }
  return value;
}

bool HttpRequest::fieldHasToken(std::string_view name, std::string_view token) const {
  const std::optional<std::string> value = field(name);
  if (!value)
    return false;
  std::string_view rest = *value;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    if (SameLetters(TrimBlanks(rest.substr(0, comma)), token))
      return true;
    if (comma == std::string_view::npos)
      break;
    rest.remove_prefix(comma + 1);
  }
  return false;
}

HttpRequestReader::State HttpRequestReader::take(std::span<const std::uint8_t> bytes) {
  if (state_ != State::reading)
    return state_;
  const std::size_t searchFrom = header_.size() < 3 ? 0 : header_.size() - 3;
  header_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::size_t end = header_.find("\r\n\r\n", searchFrom);
  if (end == std::string::npos) {
    if (header_.size() > kMaxHeaderBytes)
      return refuse(431, "the header is longer than 8 KiB");
    // A first line that is not a request line is refused as soon as it is whole.
    const std::size_t lineEnd = header_.find("\r\n");
    if (lineEnd != std::string::npos && header_.find(" HTTP/1.", 0) > lineEnd)
      return refuse(400, "not an HTTP request");
    return state_;
  }
  if (end + 4 > kMaxHeaderBytes)
    return refuse(431, "the header is longer than 8 KiB");
  headerEnd_ = end + 4;
  return parse(std::string_view(header_).substr(0, end));
}

std::span<const std::uint8_t> HttpRequestReader::rest() const {
  if (state_ != State::complete)
    return {};
  return {reinterpret_cast<const std::uint8_t*>(header_.data()) + headerEnd_,
          header_.size() - headerEnd_};
}

HttpRequestReader::State HttpRequestReader::refuse(int status, std::string reason) {
  refusal_ = HttpRefusal{status, std::move(reason)};
  state_ = State::refused;
  header_.clear();
  header_.shrink_to_fit();
  return state_;
}

HttpRequestReader::State HttpRequestReader::parse(std::string_view header) {
  const std::size_t lineEnd = header.find("\r\n");
  const std::string_view line = header.substr(0, lineEnd);
  const std::size_t firstSpace = line.find(' ');
  const std::size_t lastSpace = line.rfind(' ');
  if (firstSpace == std::string_view::npos || lastSpace == firstSpace)
    return refuse(400, "not an HTTP request");
  const std::string_view method = line.substr(0, firstSpace);
  const std::string_view target = line.substr(firstSpace + 1, lastSpace - firstSpace - 1);
  const std::string_view version = line.substr(lastSpace + 1);
  if (!IsToken(method) || target.empty() || !IsTargetText(target))
    return refuse(400, "not an HTTP request");
  if (version.size() != 8 || version.substr(0, 7) != "HTTP/1." || version[7] < '0' ||
      version[7] > '9') {
    return refuse(
        version.substr(0, 5) == "HTTP/" ? 505 : 400,
        version.substr(0, 5) == "HTTP/" ? "an HTTP version other than 1.x" : "not an HTTP request");
  }
  request_.method = std::string(method);
  request_.minorVersion = version[7] - '0';
  // A server takes the absolute form too (RFC 9112, 3.2.2): only its path matters here.
  std::string_view path = target;
  bool absolute = false;
  for (const std::string_view scheme :
       {std::string_view("http://"), std::string_view("https://")}) {
    if (!absolute && SameLetters(target.substr(0, scheme.size()), scheme)) {
      const std::size_t pathStart = target.find_first_of("/?", scheme.size());
      path = pathStart == std::string_view::npos ? std::string_view{} : target.substr(pathStart);
      absolute = true;
    }
  }
  if (!absolute && path.front() != '/')
    return refuse(400, "a request target that is not a path");
  const std::size_t question = path.find('?');
  const std::string_view pathOnly = path.substr(0, question);
  request_.path = std::string(pathOnly.empty() ? std::string_view("/") : pathOnly);
  if (question != std::string_view::npos)
    request_.query = std::string(path.substr(question + 1));

  std::string_view rest =
      lineEnd == std::string_view::npos ? std::string_view{} : header.substr(lineEnd + 2);
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    const std::string_view fieldLine = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 2);
    const std::size_t colon = fieldLine.find(':');
    // Folded lines (obsolete) and names with blanks before the colon are refused, as RFC 9112
    // asks of a server.
    if (colon == std::string_view::npos || !IsToken(fieldLine.substr(0, colon)))
      return refuse(400, "a malformed header field");
    if (request_.fields.size() == kMaxFields)
      return refuse(431, "more than 100 header fields");
    std::string name(fieldLine.substr(0, colon));
    std::transform(name.begin(), name.end(), name.begin(), Lower);
    request_.fields.emplace_back(std::move(name),
                                 std::string(TrimBlanks(fieldLine.substr(colon + 1))));
  }
  state_ = State::complete;
  return state_;
}

}  // namespace scantouch
