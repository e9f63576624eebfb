#pragma once

#include <string>

namespace scantouch {

// The system's own words for an error code (a Winsock or Win32 error), in UTF-8 without the
// line break and full stop the system ends them with; "error N" where it has none.
std::string SystemErrorText(int error);

}  // namespace scantouch
