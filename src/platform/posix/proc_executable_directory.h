#pragma once

#include "config/executable_directory.h"

namespace scantouch {

// The directory of the running executable, as /proc/self/exe names it at the moment of asking.
class ProcExecutableDirectory final : public ExecutableDirectory {
 public:
  std::string path() const override;
};

}  // namespace scantouch
