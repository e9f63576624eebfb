#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scantouch {

// A request as far as the server reads one: the request line and the header fields. No request
// it answers has a body.
struct HttpRequest {
  std::string method;    // as sent, case and all ("GET")
  std::string path;      // the target without its query ("/status")
  std::string query;     // after "?", without it
  int minorVersion = 1;  // HTTP/1.x
  std::vector<std::pair<std::string, std::string>> fields;  // names lower case, values trimmed

  // The value of the field `name` (lower case), several of the same name joined by ", " as
  // RFC 9110 allows; nothing when absent.
  std::optional<std::string> field(std::string_view name) const;
  // Whether the comma-separated field `name` holds `token`, letter case aside ("Connection:
  // keep-alive, Upgrade" holds "upgrade").
  bool fieldHasToken(std::string_view name, std::string_view token) const;
};

// Why a request is refused: the status to answer with, and what to tell the log.
struct HttpRefusal {
  int status = 400;
  std::string reason;  // "the header is longer than 8 KiB"
};

// Collects a request's header from the bytes of a connection, as they come. The header must end
// within kMaxHeaderBytes, or the request is refused; so must what may never be HTTP (a binary
// greeting, a TLS hello) within the first line.
class HttpRequestReader {
 public:
  static constexpr std::size_t kMaxHeaderBytes = 8 * 1024;
  static constexpr std::size_t kMaxFields = 100;

  enum class State { reading, complete, refused };

  // Takes the next bytes; the state says whether more are needed. Bytes after the header's end
  // (a client that sends before it is answered) stay unread in `rest()`.
  State take(std::span<const std::uint8_t> bytes);
  State state() const { return state_; }

  const HttpRequest& request() const { return request_; }
  const HttpRefusal& refusal() const { return refusal_; }
  std::span<const std::uint8_t> rest() const;

 private:
  State refuse(int status, std::string reason);
  State parse(std::string_view header);

  State state_ = State::reading;
  std::string header_;
  std::size_t headerEnd_ = 0;
  HttpRequest request_;
  HttpRefusal refusal_;
};

}  // namespace scantouch
