#pragma once

namespace scantouch::testing {

// A TCP port on 127.0.0.1 that nothing listens on right now.
int FreeLoopbackPort();

}  // namespace scantouch::testing
