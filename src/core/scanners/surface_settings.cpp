#include "scanners/surface_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "common/blanks.h"
#include "common/number_format.h"
#include "common/plain_fields.h"

namespace scantouch {
namespace {

// Pose keys looked for beyond the network window's channels, to tell that they are not used.
constexpr int kChannelPoseKeysLooked = 16;

// A plain decimal number; view units and degrees are never near the limits.
std::optional<double> Number(std::string_view text) {
  const std::optional<double> value = PlainDecimal(text);
  if (!value || std::abs(*value) > 1e7)
    return std::nullopt;
  return value;
}

// The fields of a text of `count` numbers. Under a locale with a decimal comma, earlier versions
// wrote every number with a comma and one decimal ("10000,0,2000,0,30,0"): twice the fields,
// every second one a single digit. Such a text is read as the numbers it was meant to hold.
std::vector<std::string> Fields(std::string_view text, std::size_t count) {
  const std::vector<std::string_view> parts = SplitFields(text, ',');
  std::vector<std::string> fields(parts.begin(), parts.end());
  if (parts.size() != 2 * count)
    return fields;
  std::vector<std::string> joined;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view decimal = parts[2 * i + 1];
    if (decimal.size() != 1 || decimal[0] < '0' || decimal[0] > '9')
      return fields;
    joined.push_back(std::string(parts[2 * i]) + "." + std::string(decimal));
  }
  return joined;
}

std::optional<PlanePoint> Point(std::string_view text) {
  const std::vector<std::string> fields = Fields(text, 2);
  if (fields.size() != 2)
    return std::nullopt;
  const auto x = Number(fields[0]);
  const auto y = Number(fields[1]);
  if (!x || !y)
    return std::nullopt;
  return PlanePoint{*x, *y};
}

// Shortest text that reads back as the same value, to a tenth of a unit, with "." whatever the
// locale.
std::string Tenths(double value) {
  return FormatShortest(std::round(value * 10) / 10).value_or("0");
}

}  // namespace

std::string surface_keys::ChannelPoseKey(int channel) {
  return std::string(kChannelPosePrefix) + std::to_string(channel);
}

std::optional<Pose> ParsePose(std::string_view text) {
  const std::vector<std::string> fields = Fields(text, 3);
  if (fields.size() != 3)
    return std::nullopt;
  const auto x = Number(fields[0]);
  const auto y = Number(fields[1]);
  const auto angle = Number(fields[2]);
  if (!x || !y || !angle || std::abs(*angle) >= 360)
    return std::nullopt;
  return Pose{*x, *y, *angle};
}

std::string PoseText(const Pose& pose) {
  return Tenths(pose.x) + "," + Tenths(pose.y) + "," + Tenths(pose.angleDegrees);
}

std::optional<SurfaceMapping::Corners> ParseCorners(std::string_view text) {
  const std::vector<std::string_view> parts = SplitFields(text, ';');
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

std::optional<SurfaceMapping::Corners> ReadFourCorners(SettingsFile& file) {
  namespace keys = surface_keys;
  const std::string stored = file.read(keys::kSection, keys::kFourCorners);
  if (TrimBlanks(stored).empty())
    return std::nullopt;
  const auto corners = ParseCorners(stored);
  if (!corners) {
    file.reportUnusable(keys::kSection, keys::kFourCorners,
                        "cannot be read as four corners x,y;x,y;x,y;x,y; the two-corner mapping "
                        "is used");
    return std::nullopt;
  }
  SurfaceMapping check;
  if (!check.setCorners(*corners)) {
    file.reportUnusable(keys::kSection, keys::kFourCorners,
                        "not a convex quadrilateral; the two-corner mapping is used");
    return std::nullopt;
  }
  return corners;
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
    for (int channel = std::max(channels, 0); channel < kChannelPoseKeysLooked; ++channel) {
      const std::string key = keys::ChannelPoseKey(channel);
      if (present(key))
        file.reportUnusable(keys::kSection, key,
                            "the network window has " + std::to_string(channels) +
                                " channels: no scanner is placed by this pose");
    }
  }
  settings.fourCorners = ReadFourCorners(file);
  return settings;
}

}  // namespace scantouch
