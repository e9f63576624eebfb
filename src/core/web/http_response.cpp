#include "web/http_response.h"

namespace scantouch {
namespace {

std::string_view StatusText(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 426:
      return "Upgrade Required";
    case 431:
      return "Request Header Fields Too Large";
    case 503:
      return "Service Unavailable";
    case 505:
      return "HTTP Version Not Supported";
    default:
      return "Error";
  }
}

}  // namespace

std::string HttpAnswer(int status, std::string_view contentType, std::string_view body,
                       std::string_view extraFields) {
  std::string answer =
      "HTTP/1.1 " + std::to_string(status) + " " + std::string(StatusText(status)) + "\r\n";
  answer += "Content-Type: ";
  answer += contentType;
  answer += "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  // The page is live and small: a browser asks again rather than show yesterday's program.
  answer += "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\nConnection: close\r\n";
  answer += extraFields;
  answer += "\r\n";
  answer += body;
  return answer;
}

std::string HttpRefusalAnswer(int status, std::string_view reason) {
  std::string extra;
  if (status == 405)
    extra = "Allow: GET\r\n";
  if (status == 426)
    extra = "Sec-WebSocket-Version: 13\r\n";
  return HttpAnswer(status, "text/plain; charset=utf-8", std::string(reason) + "\n", extra);
}

}  // namespace scantouch
