#include "surface/surface_settings.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "common/blanks.h"

namespace scantouch {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos)
      return parts;
    text.remove_prefix(at + 1);
  }
}

// A finite decimal number and nothing else; view units and degrees are never near the limits.
std::optional<double> Number(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
      !std::isfinite(value) || std::abs(value) > 1e7)
    return std::nullopt;
  return value;
}

std::optional<PlanePoint> Point(std::string_view text) {
  const std::vector<std::string_view> parts = Split(text, ',');
  if (parts.size() != 2)
    return std::nullopt;
  const auto x = Number(parts[0]);
  const auto y = Number(parts[1]);
  if (!x || !y)
    return std::nullopt;
  return PlanePoint{*x, *y};
}

// Shortest text that reads back as the same value, to a tenth of a unit.
std::string Tenths(double value) {
  char text[32];
  const double rounded = std::round(value * 10) / 10;
  std::snprintf(text, sizeof text, "%.1f", rounded == 0 ? 0.0 : rounded);
  std::string result = text;
  if (result.size() > 2 && result.compare(result.size() - 2, 2, ".0") == 0)
    result.resize(result.size() - 2);
  return result;
}

}  // namespace

std::string surface_keys::ChannelPoseKey(int channel) {
  return std::string(kChannelPosePrefix) + std::to_string(channel);
}

std::optional<Pose> ParsePose(std::string_view text) {
  const std::vector<std::string_view> parts = Split(text, ',');
  if (parts.size() != 3)
    return std::nullopt;
  const auto x = Number(parts[0]);
  const auto y = Number(parts[1]);
  const auto angle = Number(parts[2]);
  if (!x || !y || !angle || std::abs(*angle) >= 360)
    return std::nullopt;
  return Pose{*x, *y, *angle};
}

std::string PoseText(const Pose& pose) {
  return Tenths(pose.x) + "," + Tenths(pose.y) + "," + Tenths(pose.angleDegrees);
}

std::optional<SurfaceMapping::Corners> ParseCorners(std::string_view text) {
  const std::vector<std::string_view> parts = Split(text, ';');
  if (parts.size() != 4)
    return std::nullopt;
  SurfaceMapping::Corners corners;
  for (std::size_t i = 0; i < 4; ++i) {
    const auto point = Point(parts[i]);
    if (!point)
      return std::nullopt;
    corners[i] = *point;
  }
  return corners;
}

std::string CornersText(const SurfaceMapping::Corners& corners) {
  std::string text;
  for (const PlanePoint& corner : corners) {
    if (!text.empty())
      text += ';';
    text += Tenths(corner.x) + "," + Tenths(corner.y);
  }
  return text;
}

bool SeveralScannersWanted(const SettingsFile& file) {
  return TrimBlanks(file.read(surface_keys::kSection, surface_keys::kSeveralScanners)) == "1";
}

SurfaceSettings ReadSurfaceSettings(SettingsFile& file, int channels) {
  namespace keys = surface_keys;
  SurfaceSettings settings;
  const auto present = [&file](std::string_view key) {
    return !TrimBlanks(file.read(keys::kSection, key)).empty();
  };
  settings.severalScanners = SeveralScannersWanted(file);
  const std::string stored = file.read(keys::kSection, keys::kSeveralScanners);
  const std::string_view several = TrimBlanks(stored);
  if (!several.empty() && several != "0" && several != "1")
    file.reportUnusable(keys::kSection, keys::kSeveralScanners, "one scanner is used");
  if (settings.severalScanners) {
    const auto readPose = [&](LinkId link, const std::string& key) {
      if (!present(key))
        return;
      if (const auto pose = ParsePose(file.read(keys::kSection, key))) {
        settings.poses[link] = *pose;
      } else {
        file.reportUnusable(keys::kSection, key, "the scanner on this link is ignored");
      }
    };
    readPose(LinkId{}, std::string(keys::kSerialPose));
    for (int channel = 0; channel < channels; ++channel)
      readPose(LinkId{channel}, keys::ChannelPoseKey(channel));
  }
  if (present(keys::kFourCorners)) {
    const auto corners = ParseCorners(file.read(keys::kSection, keys::kFourCorners));
    SurfaceMapping check;
    if (corners && check.setCorners(*corners)) {
      settings.fourCorners = corners;
    } else {
      file.reportUnusable(keys::kSection, keys::kFourCorners,
                          "not a convex quadrilateral; the two-corner mapping is used");
    }
  }
  return settings;
}

}  // namespace scantouch
