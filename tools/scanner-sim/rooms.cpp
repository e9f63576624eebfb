#include "rooms.h"

#include <array>

namespace scanner_sim {
namespace {

struct NamedRoom {
  RoomKind kind;
  std::string_view name;
};

constexpr std::array<NamedRoom, 8> kRooms{{
    {RoomKind::plain, "plain"},
    {RoomKind::openQuarter, "open-quarter"},
    {RoomKind::half, "half"},
    {RoomKind::zeroOpen, "zero-open"},
    {RoomKind::clutter, "clutter"},
    {RoomKind::grazing, "grazing"},
    {RoomKind::pillar, "pillar"},
    {RoomKind::bar, "bar"},
}};

constexpr std::array<RoomKind, 6> kKinds{RoomKind::plain,   RoomKind::openQuarter,
                                         RoomKind::half,    RoomKind::zeroOpen,
                                         RoomKind::clutter, RoomKind::grazing};

SceneObject Post(const TouchArea& area, double across, double down, double diameterMm = 40) {
  SceneObject post;
  post.from = PlanePoint{area.left + across * area.width, area.top + down * area.height};
  post.diameterMm = diameterMm;
  return post;
}

}  // namespace

std::span<const RoomKind> AllRooms() {
  return kKinds;
}

std::string_view RoomName(RoomKind kind) {
  for (const NamedRoom& room : kRooms) {
    if (room.kind == kind)
      return room.name;
  }
  return {};
}

std::optional<RoomKind> RoomNamed(std::string_view name) {
  for (const NamedRoom& room : kRooms) {
    if (room.name == name)
      return room.kind;
  }
  return std::nullopt;
}

void FurnishRoom(Scene& scene, RoomKind kind, const TouchArea& area) {
  scene.wallSectors.clear();
  scene.clutter.clear();
  scene.segments.clear();
  const double right = area.left + area.width;
  const double bottom = area.top + area.height;
  switch (kind) {
    case RoomKind::plain:
      break;
    case RoomKind::openQuarter:
      scene.wallSectors = {AngleSector{2, 268}};
      break;
    case RoomKind::half:
      scene.wallSectors = {AngleSector{0, 180}};
      break;
    case RoomKind::zeroOpen:
      scene.wallSectors = {AngleSector{45, 315}};
      break;
    case RoomKind::clutter: {
      // Two posts standing in the area and a bar lying along its left edge, 25 mm inside.
      scene.clutter = {Post(area, 0.2, 0.35), Post(area, 0.75, 0.7)};
      const double inside = area.left + 25;
      scene.segments = {SceneSegment{{inside, area.top + 0.1 * area.height},
                                     {inside, area.top + 0.9 * area.height}}};
      break;
    }
    case RoomKind::grazing: {
      // The plane meets the wall at 1 degree 20 mm beyond the far edge, and a little wider.
      const double y = area.farEdge == TouchArea::Edge::top ? area.top - 20 : bottom + 20;
      const double overhang = 0.1 * area.width;
      scene.segments = {SceneSegment{{area.left - overhang, y}, {right + overhang, y}, 1}};
      break;
    }
    case RoomKind::pillar:
      scene.clutter = {Post(area, 0.5, 0.5, 100)};
      break;
    case RoomKind::bar: {
      // Along the far edge, so that it hides none of the area from the scanner: a bench at the
      // foot of a floor projection, a screen's bottom frame.
      const double y = area.farEdge == TouchArea::Edge::top ? area.top + 25 : bottom - 25;
      scene.segments = {
          SceneSegment{{area.left + 0.1 * area.width, y}, {area.left + 0.9 * area.width, y}}};
      break;
    }
  }
}

}  // namespace scanner_sim
