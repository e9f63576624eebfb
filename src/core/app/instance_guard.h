#pragma once

namespace scantouch {

// Whether another copy of the program runs already.
class InstanceGuard {
 public:
  virtual ~InstanceGuard() = default;
  virtual bool anotherInstanceRunning() = 0;
};

}  // namespace scantouch
