#pragma once

#include <string>
#include <string_view>

namespace scantouch {

// A whole answer after which the server closes the connection: the status line, the fields
// every answer of this server carries, `extraFields` (each line ending in "\r\n") and the body.
std::string HttpAnswer(int status, std::string_view contentType, std::string_view body,
                       std::string_view extraFields = {});
// The answer to a refused request: its status and the reason as plain text.
std::string HttpRefusalAnswer(int status, std::string_view reason);

}  // namespace scantouch
