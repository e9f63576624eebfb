#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "scene.h"

namespace scanner_sim {

// The rooms a scanner may stand in, by name, for the simulator's command line, the tests and the
// benches. Real rooms are seldom walls all round with nothing inside the touch area.
enum class RoomKind {
  plain,        // walls at every angle
  openQuarter,  // walls at 2-268 degrees only: the turn's start and the quarter before it face open
                // space
  half,         // walls at 0-180 degrees only
  zeroOpen,     // walls at 45-315 degrees only: the scanner's zero points into open space
  clutter,      // walls all round; two posts in the touch area and a bar along its left edge
  grazing,      // walls all round; the scanning plane grazes a wall along the area's far edge
  pillar,       // walls all round; a pillar 100 mm across in the middle of the touch area
  bar,          // walls all round; a bar lying along the area's far edge, just inside it
};

// The touch area a room's furniture is placed around, in the scanner's plane (x right, y down,
// millimetres from the scanner), and the edge across it from the scanners, along which the grazed
// wall runs.
struct TouchArea {
  enum class Edge { top, bottom };
  double left = -2500;  // the worked examples' rectangle
  double top = -5500;
  double width = 5000;
  double height = 3000;
  Edge farEdge = Edge::top;
};

// The rooms the benches try every scene in, plain first. The rooms of one still thing (pillar,
// bar) have scenes of their own and are named but not among them.
std::span<const RoomKind> AllRooms();
std::string_view RoomName(RoomKind kind);
std::optional<RoomKind> RoomNamed(std::string_view name);

// Makes `scene` room `kind` around `area`: its walls' sectors, its clutter and its obstacles. The
// wall distances and the objects stay as they are.
void FurnishRoom(Scene& scene, RoomKind kind, const TouchArea& area);

}  // namespace scanner_sim
