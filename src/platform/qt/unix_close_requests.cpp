#include "qt/unix_close_requests.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace scantouch {
namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int number) {
  const char byte = static_cast<char>(number);
  (void)!::write(signalPipe[1], &byte, 1);
}

}  // namespace

UnixCloseRequests::UnixCloseRequests(std::function<void()> onRequest)
    : onRequest_(std::move(onRequest)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
    return;
  notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    char byte = 0;
    (void)!::read(signalPipe[0], &byte, 1);
    onRequest_();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int number : {SIGTERM, SIGINT, SIGHUP})
    sigaction(number, &action, nullptr);
}

UnixCloseRequests::~UnixCloseRequests() {
  for (const int number : {SIGTERM, SIGINT, SIGHUP})
    ::signal(number, SIG_DFL);
}

}  // namespace scantouch
