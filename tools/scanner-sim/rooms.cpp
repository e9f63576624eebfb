#include "rooms.h"

#include <array>

namespace scanner_sim {
namespace {

struct NamedRoom {
  RoomKind kind;
  std::string_view name;
};

constexpr std::array<NamedRoom, 6> kRooms{{
    {RoomKind::plain, "plain"},
    {RoomKind::openQuarter, "open-quarter"},
    {RoomKind::half, "half"},
    {RoomKind::zeroOpen, "zero-open"},
    {RoomKind::clutter, "clutter"},
    {RoomKind::grazing, "grazing"},
}};

constexpr std::array<RoomKind, 6> kKinds{RoomKind::plain,   RoomKind::openQuarter,
                                         RoomKind::half,    RoomKind::zeroOpen,
                                         RoomKind::clutter, RoomKind::grazing};

SceneObject Post(const TouchArea& area, double across, double down) {
  SceneObject post;
  post.from = PlanePoint{area.left + across * area.width, area.top + down * area.height};
  post.diameterMm = 40;
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
  }
}

}  // namespace scanner_sim
