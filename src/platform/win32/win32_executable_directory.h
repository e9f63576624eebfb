#pragma once

#include "config/executable_directory.h"

namespace scantouch {

// The folder of the running executable, from GetModuleFileNameW: folder names in any script.
class Win32ExecutableDirectory final : public ExecutableDirectory {
 public:
  std::string path() const override;
};

}  // namespace scantouch
