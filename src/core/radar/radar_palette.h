#pragma once

#include "toolkit/colour.h"

namespace scantouch::radar_palette {

// The radar picture's colours, the same in every face, as 0x00RRGGBB.
inline constexpr Colour kBackground = 0xEBF0F5;
inline constexpr Colour kBeam = 0x000000;
inline constexpr Colour kHit = 0x00FF00;  // a beam whose point lies in the touch rectangle
inline constexpr Colour kTouchRect = 0x1E5ADC;
inline constexpr Colour kScanner = 0xDC2828;
inline constexpr Colour kTouchMarker = 0xFF9600;
inline constexpr Colour kContact = 0xC800C8;
inline constexpr Colour kLabelText = 0x3C3C3C;
// The points of the other scanners of a surface, one colour each; the first scanner's are the
// beams. A silent scanner's marker is drawn in kSilentScanner.
inline constexpr Colour kScannerColours[] = {0x0078D7, 0xE07000, 0x009E73, 0x9B30D9, 0xB8860B};
inline constexpr int kScannerColourCount = 5;
inline constexpr Colour kSilentScanner = 0x969696;
inline constexpr int kOtherScannerPoint_px = 3;
// The side of the square that marks where another scanner stands.
inline constexpr int kOtherScannerMarker_px = 12;
// Still things, under the beams: a learned background as a faint line, and the masks as grey
// rectangles. The fill is a solid colour, the grey laid over kBackground, so that both faces show
// the same pixels without blending (the masks lie on nothing else).
inline constexpr Colour kBackgroundOutline = 0x8AA2BE;
inline constexpr Colour kMaskFill = 0xC9CED4;
inline constexpr Colour kMaskBorder = 0x8C949C;
// The mask being dragged out, over everything, in a colour no other mark has.
inline constexpr Colour kDraggedMask = 0x007C85;
inline constexpr int kDraggedMaskPen_px = 2;

// Another scanner's colour by its index, whatever the index.
constexpr Colour ScannerColour(int index) {
  return kScannerColours[(index % kScannerColourCount + kScannerColourCount) % kScannerColourCount];
}

// Pen widths in pixels; contacts keep their size in pixels at every range: a finger is a finger
// on any view.
inline constexpr int kShapePen_px = 2;
inline constexpr int kTouchMarkerPen_px = 3;
inline constexpr int kContactPen_px = 3;
inline constexpr int kContactRadius_px = 12;
inline constexpr int kContactIdFont_px = 16;

constexpr int Red(Colour colour) {
  return static_cast<int>((colour >> 16) & 0xFF);
}
constexpr int Green(Colour colour) {
  return static_cast<int>((colour >> 8) & 0xFF);
}
constexpr int Blue(Colour colour) {
  return static_cast<int>(colour & 0xFF);
}

}  // namespace scantouch::radar_palette
