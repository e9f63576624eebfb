#include "app/web_status.h"

#include <utility>

#include "link/received_bytes.h"
#include "outputs/tuio_output.h"
#include "web/json_text.h"

namespace scantouch {
namespace {

void AppendPoint(std::string& out, float x, float y) {
  if (out.back() != '[')
    out += ',';
  AppendJsonNumber(out, x, 0);
  out += ',';
  AppendJsonNumber(out, y, 0);
}

}  // namespace

WebStatus::WebStatus(MainForm& form, const ScannerSurface& surface, const ScanRateMeter& meter,
                     const EventLoop& loop, std::string version)
    : form_(form), surface_(surface), meter_(meter), loop_(loop), version_(std::move(version)) {}

void WebStatus::sample() {
  std::vector<std::uint64_t> seen{form_.decoder().decodedNodes()};
  for (std::size_t i = 0; i < surface_.streams(); ++i)
    seen.push_back(surface_.stream(i).decodedNodes());
  nodesPerSecond_.assign(seen.size(), 0);
  for (std::size_t i = 0; i < seen.size() && i < nodesSeen_.size(); ++i) {
    // A stream that was made anew counts from nothing.
    nodesPerSecond_[i] = seen[i] >= nodesSeen_[i] ? seen[i] - nodesSeen_[i] : seen[i];
  }
  nodesSeen_ = std::move(seen);
}

std::string WebStatus::json() const {
  const TouchEngine& engine = form_.engine();
  std::string out;
  JsonObject status(out);
  status.text("version", version_).boolean("engine", engine.running());

  const ViewRect& rect = engine.shapes().touchRect;
  JsonObject(status.member("rect"))
      .number("left", rect.left, 1)
      .number("top", rect.top, 1)
      .number("width", rect.width, 1)
      .number("height", rect.height, 1)
      .end();

  // Contacts the engine has not told of for a while are gone, as TUIO lets go of them: a scanner
  // that fell silent leaves its last frame standing.
  const TouchFrame& frame = engine.lastFrame();
  const bool recent = loop_.nowMs() - frame.timeMs <= TuioOutput::kStaleAfter_ms;
  status.member("contacts") += '[';
  for (const Contact& contact : engine.running() && recent ? frame.live : std::vector<Contact>{}) {
    if (out.back() != '[')
      out += ',';
    JsonObject(out)
        .integer("cursor", contact.cursorId)
        .integer("session", static_cast<std::int64_t>(contact.sessionId))
        .number("x", contact.x, 1)
        .number("y", contact.y, 1)
        .number("u", contact.u, 4)
        .number("v", contact.v, 4)
        .end();
  }
  out += ']';

  status.member("scanners") += '[';
  for (std::size_t i = 0; i <= surface_.streams(); ++i) {
    if (i > 0)
      out += ',';
    appendScanner(out, i);
  }
  out += ']';
  status.end();
  return out;
}

void WebStatus::appendScanner(std::string& out, std::size_t index) const {
  const TouchEngine& engine = form_.engine();
  std::string name;
  double x = 0;
  double y = 0;
  double turns = 0;
  std::uint64_t restarts = 0;
  if (index == 0) {
    const auto link = surface_.firstLink();
    name = link ? LinkName(*link) : "扫描仪";
    const ViewRect& marker = engine.shapes().scannerMarker;
    const auto pose = engine.scannerCount() > 0 ? engine.scannerPose(0) : std::nullopt;
    x = pose ? pose->x : marker.centreX();
    y = pose ? pose->y : marker.centreY();
    turns = meter_.lastRevolutions();
    restarts = meter_.restarts();
  } else {
    const ScannerStream& stream = surface_.stream(index - 1);
    const ScannerSurface::StreamFigures figures = surface_.figures(index - 1);
    name = LinkName(stream.link());
    const Pose pose = engine.scannerPose(stream.engineIndex()).value_or(Pose{});
    x = pose.x;
    y = pose.y;
    turns = figures.turns;
    restarts = figures.restarts;
  }
  JsonObject scanner(out);
  scanner.text("name", name)
      .number("x", x, 0)
      .number("y", y, 0)
      .boolean("connected", turns > 0)
      .number("turnsPerSecond", turns, 1)
      .integer("nodesPerSecond", index < nodesPerSecond_.size()
                                     ? static_cast<std::int64_t>(nodesPerSecond_[index])
                                     : 0)
      .integer("restarts", static_cast<std::int64_t>(restarts));
  scanner.member("points") += '[';
  if (index == 0) {
    // The beams hold a point a degree: never more than a browser draws smoothly.
    for (int degree = 0; degree < BeamTable::kBeams; ++degree) {
      const Beam& beam = form_.Line1[degree];
      if (beam.visible)
        AppendPoint(out, beam.x1, beam.y1);
    }
  } else {
    const auto& points = surface_.stream(index - 1).lastTurn();
    const std::size_t step = (points.size() + kMaxPoints - 1) / kMaxPoints;
    for (std::size_t i = 0; i < points.size(); i += step == 0 ? 1 : step)
      AppendPoint(out, points[i][0], points[i][1]);
  }
  out += ']';
  scanner.end();
}

}  // namespace scantouch
