#pragma once

namespace scantouch {

// Whether the desktop starts the program when the user logs in: an XDG autostart entry on Linux,
// the per-user Run key on Windows.
class Autostart {
 public:
  virtual ~Autostart() = default;
  virtual bool enabled() const = 0;
  // False when the desktop's setting could not be changed; it is then as it was.
  virtual bool setEnabled(bool enabled) = 0;
};

}  // namespace scantouch
