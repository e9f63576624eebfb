#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scantouch {

// A rectangle in view units inside which no hit is a touch: a bench, a handrail, a screen's
// bezel the user marked by hand. Held with its corners ordered (left <= right, top <= bottom).
struct ViewMask {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;

  // The two opposite corners in any order.
  static ViewMask FromCorners(double x1, double y1, double x2, double y2);
  bool contains(double x, double y) const {
    return x >= left && x <= right && y >= top && y <= bottom;
  }
  bool operator==(const ViewMask&) const = default;
};

// The area masks must meet to mean anything: the radar view's extent.
struct ViewExtent {
  double width = 15000;
  double height = 15000;
};

// What a mask list read from its text holds: the masks that can be used, and for each that
// cannot, the text it was given as and why (for the log).
struct ParsedMasks {
  struct Refused {
    std::string text;
    std::string reason;
  };
  std::vector<ViewMask> masks;
  std::vector<Refused> refused;
};

// "x1,y1,x2,y2;x1,y1,x2,y2;...", blanks allowed around each number, empty entries skipped. An
// entry that is not four plain decimal numbers, has zero area or lies wholly outside the view
// is refused and the rest are used.
ParsedMasks ParseMasks(std::string_view text, ViewExtent extent = {});

// The text ParseMasks reads back to the same masks, with "." whatever the locale.
std::string MasksText(const std::vector<ViewMask>& masks);

// Whether any mask holds the point.
bool Masked(const std::vector<ViewMask>& masks, double x, double y);

}  // namespace scantouch
