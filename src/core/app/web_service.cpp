#include "app/web_service.h"

#include <utility>
#include <variant>

#include "app/web_resources.h"
#include "web/listen_address.h"

namespace scantouch {

WebService::WebService(EventLoop& loop, StreamListenerFactory& listeners, Label& status,
                       std::function<std::string()> statusJson, std::string machine)
    : loop_(loop),
      status_(status),
      statusJson_(std::move(statusJson)),
      machine_(std::move(machine)),
      server_(loop, listeners) {
  const std::string html = "text/html; charset=utf-8";
  const std::string script = "text/javascript; charset=utf-8";
  server_.addResource("/", html, web_resources::kIndexHtml);
  server_.addResource("/status.js", script, web_resources::kStatusJs);
  server_.addResource("/tuio.js", script, web_resources::kTuioJs);
  // TUIO's reference clients connect to the root; "/tuio" says what it is.
  tuio_ = server_.addChannel({"/", "/tuio"});
  statusChannel_ = server_.addChannel({"/status"});
  status_.setCaption(kOffCaption);
}

WebService::~WebService() {
  if (statusTimer_)
    loop_.stopTimer(*statusTimer_);
}

void WebService::setLog(ProgramLog* log) {
  reports_.setLog(log);
  server_.setLog(log);
}

void WebService::apply(const std::string& text) {
  if (text == text_ && (server_.listening() || text.empty()))
    return;
  text_ = text;
  stop();
  if (text.empty()) {
    status_.setCaption(kOffCaption);
    return;
  }
  const auto parsed = ParseListenAddress(text);
  if (const auto* reason = std::get_if<std::string>(&parsed)) {
    reports_.report("address\n" + text, "web service: \"" + text + "\" left out: " + *reason);
    status_.setCaption("未开：" + *reason);
    return;
  }
  const ListenAddress& address = std::get<ListenAddress>(parsed);
  std::string error;
  if (!server_.start(address, error)) {
    status_.setCaption("未开：" + error);
    return;
  }
  status_.setCaption("打开 " + BrowserAddress(address, machine_));
  statusTimer_ = loop_.startTimer(kStatusInterval_ms, [this] { onStatusTick(); });
}

void WebService::sendTuio(std::span<const std::uint8_t> bundle) {
  server_.broadcast(tuio_, websocket_opcode::kBinary, bundle);
}

void WebService::stop() {
  if (statusTimer_) {
    loop_.stopTimer(*statusTimer_);
    statusTimer_.reset();
  }
  server_.stop();
}

void WebService::onStatusTick() {
  if (server_.listeners(statusChannel_) == 0)
    return;
  const std::string message = statusJson_();
  server_.broadcast(statusChannel_, websocket_opcode::kText, BytesOf(message));
}

}  // namespace scantouch
