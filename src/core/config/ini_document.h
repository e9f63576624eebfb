#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scantouch {

// Reading and editing the raw bytes of an INI file, in whatever encoding the file uses; section
// and key names are passed in that encoding too. Lines end in LF or CRLF; blanks and tabs around
// names and values do not count; lines starting with ";" or "#" are comments; names compare
// without regard to the case of ASCII letters; of duplicate sections or keys the first counts;
// keys before the first section belong to none.

// The value of `key` in `section`, or nullopt when there is none.
std::optional<std::string_view> FindIniValue(std::string_view file, std::string_view section,
                                             std::string_view key);

// The file with `key` in `section` set to `value`: an existing line is replaced in place, a new
// key goes after the last entry of its section, a new section at the end. Other lines stay as
// they were, byte for byte; new lines get the file's own line ending (CRLF for a new file).
std::string SetIniValue(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace scantouch
