#pragma once

#include <set>
#include <string>
#include <string_view>

namespace scantouch {

// Where the program tells whoever looks after an installation what happened, beyond the event
// log of its window: the platform writes each line with the time to standard error and, when
// asked, to a log file.
class ProgramLog {
 public:
  virtual ~ProgramLog() = default;
  virtual void write(std::string_view line) = 0;
};

// A problem that would otherwise repeat at every keystroke is told once: a line is written the
// first time its subject comes up, and again only after the subject was cleared.
class OnceReports {
 public:
  void setLog(ProgramLog* log) { log_ = log; }

  void report(const std::string& subject, std::string_view line) {
    if (log_ != nullptr && told_.insert(subject).second)
      log_->write(line);
  }
  void clear(const std::string& subject) { told_.erase(subject); }

 private:
  ProgramLog* log_ = nullptr;
  std::set<std::string> told_;
};

}  // namespace scantouch
