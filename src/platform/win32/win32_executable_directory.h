#pragma once

#include "config/executable_directory.h"

namespace scantouch::win32 {

// The folder of the running executable, from GetModuleFileNameW: folder names in any script.
class ModuleDirectory final : public ExecutableDirectory {
 public:
  std::string path() const override;
};

}  // namespace scantouch::win32
