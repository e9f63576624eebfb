#pragma once

#include <string>
#include <string_view>

#include "common/program_log.h"
#include "config/file_access.h"
#include "config/text_codec.h"

namespace scantouch {

// The settings store: one key read or written straight to the file each time, nothing cached.
// Files are in the code page of the installations that wrote them (`ansiCodec`, GBK), unless
// they start with a UTF-8 byte-order mark. A missing file, section or key reads as "".
class IniStore {
 public:
  // Longest value a read returns and longest value a write stores, as the store always had it.
  static constexpr std::size_t kMaxReadBytes = 1023;
  static constexpr std::size_t kMaxWriteChars = 1024;

  IniStore(FileAccess& files, const TextCodec& ansiCodec) : files_(files), ansiCodec_(ansiCodec) {}

  std::string ReadIniString(const std::string& path, std::string_view section,
                            std::string_view key) const;

  // Never fails visibly in the window: a write the file system refuses leaves the old file as it
  // was, and so does a file that is there but cannot be read (writing it anew would lose every
  // other setting). Either is told once to the program's log. A value is cut at the first NUL,
  // CR or LF, so that it can never break the file's lines.
  void WriteIniString(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view value);

  // Problems of the files, once each, to the program's log.
  OnceReports& reports() { return reports_; }

 private:
  FileAccess& files_;
  const TextCodec& ansiCodec_;
  Utf8Codec utf8Codec_;
  OnceReports reports_;
};

}  // namespace scantouch
