#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "config/settings_file.h"
#include "geometry/pose.h"
#include "geometry/surface_mapping.h"
#include "link/received_bytes.h"

namespace scantouch {

// The keys of several scanners and of the four-corner calibration, in the touch engine's section
// of the main settings file. Earlier installations have none of them.
namespace surface_keys {
inline constexpr std::string_view kSection = "触控引擎";
inline constexpr std::string_view kSeveralScanners = "多扫描仪";  // "1": each link its scanner
inline constexpr std::string_view kSerialPose = "扫描仪位姿串口";
inline constexpr std::string_view kChannelPosePrefix = "扫描仪位姿";  // followed by the channel
inline constexpr std::string_view kFourCorners = "四角标定";
std::string ChannelPoseKey(int channel);
}  // namespace surface_keys

// The several-scanner settings as typed values. With `severalScanners` off, the program has one
// receive buffer for all links, as it always had; the poses are then not read.
struct SurfaceSettings {
  bool severalScanners = false;
  std::map<LinkId, Pose> poses;  // the links with a usable pose, in link order
  std::optional<SurfaceMapping::Corners> fourCorners;
};

// Whether "多扫描仪" asks for several scanners ("1"); anything else is one.
bool SeveralScannersWanted(const SettingsFile& file);
// Reads the keys; a value that cannot be used is reported with its key and counts as absent, and
// so is a pose of a channel the network window does not have.
SurfaceSettings ReadSurfaceSettings(SettingsFile& file, int channels);
// "四角标定" alone: corners that cannot be read, or do not bound a convex quadrilateral, are
// reported with the key (each its own way) and count as absent.
std::optional<SurfaceMapping::Corners> ReadFourCorners(SettingsFile& file);

// "x,y,angle": place in view units and angle in degrees; none for anything else. The numbers are
// written to a tenth with "." whatever the locale; the text an earlier version wrote under a
// locale with a decimal comma ("x,0,y,0,angle,0") is read too.
std::optional<Pose> ParsePose(std::string_view text);
std::string PoseText(const Pose& pose);
// "x,y;x,y;x,y;x,y": top-left, top-right, bottom-right, bottom-left of the screen area.
std::optional<SurfaceMapping::Corners> ParseCorners(std::string_view text);
std::string CornersText(const SurfaceMapping::Corners& corners);

}  // namespace scantouch
