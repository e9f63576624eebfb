#pragma once

// What the program did, as lines a person reads: one event a line, stamped with the virtual
// time in milliseconds, numbers written the same on every machine and in every locale, and
// nothing that depends on where objects lie in memory. Golden files hold such records.

#include <charconv>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/touch_frame.h"
#include "osc_reading.h"
#include "recording_desktop_input.h"
#include "toolkit/event_loop.h"

namespace scantouch::testing {

// `value` with `decimals` digits after a '.', whatever the locale says (printf would write a
// comma under a German one). -0.000 is written 0.000, so that a sign lost in the last digit does
// not show as a change.
inline std::string Fixed(double value, int decimals) {
  char text[64];
  const auto written =
      std::to_chars(std::begin(text), std::end(text), value, std::chars_format::fixed, decimals);
  std::string result(text, written.ptr);
  if (result.starts_with('-') && result.find_first_not_of("-0.") == std::string::npos)
    result.erase(0, 1);
  return result;
}

// A desktop action: "move 431,208", "click 431,208", "press ...", "release ...".
inline std::string ActionLine(const RecordingDesktopInput::Action& action) {
  using Kind = RecordingDesktopInput::Action::Kind;
  const char* kind = action.kind == Kind::move    ? "move "
                     : action.kind == Kind::click ? "click "
                     : action.kind == Kind::press ? "press "
                                                  : "release ";
  return kind + std::to_string(action.at.x) + "," + std::to_string(action.at.y);
}

// A contact the engine published: "contact 3 born cursor 0 at 6123.4,3456.7 mm u 0.2247 v 0.4856
// pixel 431,524"; `what` says what happened to it.
inline std::string ContactLine(std::string_view what, const Contact& contact) {
  return "contact " + std::to_string(contact.sessionId) + " " + std::string(what) + " cursor " +
         std::to_string(contact.cursorId) + " at " + Fixed(contact.x, 1) + "," +
         Fixed(contact.y, 1) + " mm u " + Fixed(contact.u, 4) + " v " + Fixed(contact.v, 4) +
         " pixel " + std::to_string(contact.screen.x) + "," + std::to_string(contact.screen.y);
}

// A TUIO datagram: "tuio source <name>" when it names another source than `source` (which it
// then becomes), "tuio alive <ids> fseq <n>", and a "tuio set s=.. x=.. y=.. X=.. Y=.. m=.." per
// cursor; a datagram that is no well-formed /tuio/2Dcur bundle is one line saying so.
inline std::vector<std::string> TuioLines(std::span<const std::uint8_t> datagram,
                                          std::string& source) {
  const auto bundle = ReadTuioBundle(datagram);
  if (!bundle)
    return {"tuio unreadable datagram of " + std::to_string(datagram.size()) + " bytes"};
  std::vector<std::string> lines;
  if (bundle->source != source) {
    source = bundle->source;
    lines.push_back("tuio source " + source);
  }
  std::string alive = "tuio alive";
  for (const std::int32_t id : bundle->alive)
    alive += " " + std::to_string(id);
  lines.push_back(alive + " fseq " + std::to_string(bundle->frame));
  for (const TuioCursor& cursor : bundle->sets) {
    lines.push_back("tuio set s=" + std::to_string(cursor.session) + " x=" + Fixed(cursor.x, 4) +
                    " y=" + Fixed(cursor.y, 4) + " X=" + Fixed(cursor.velocityX, 4) +
                    " Y=" + Fixed(cursor.velocityY, 4) + " m=" + Fixed(cursor.acceleration, 4));
  }
  return lines;
}

// Lines stamped with the loop's time ("  1300 touch 1148,1077"), and "# " comments.
class EventRecord {
 public:
  explicit EventRecord(const EventLoop& loop) : loop_(loop) {}

  void comment(std::string_view text) { text_ += "# " + std::string(text) + "\n"; }
  void line(std::string_view event) {
    std::string time = std::to_string(loop_.nowMs());
    if (time.size() < 6)
      time.insert(0, 6 - time.size(), ' ');
    text_ += time + " " + std::string(event) + "\n";
  }
  const std::string& text() const { return text_; }

 private:
  const EventLoop& loop_;
  std::string text_;
};

}  // namespace scantouch::testing
