#include "background/view_masks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "common/blanks.h"
#include "common/number_format.h"
#include "common/plain_fields.h"

namespace scantouch {

ViewMask ViewMask::FromCorners(double x1, double y1, double x2, double y2) {
  return ViewMask{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

ParsedMasks ParseMasks(std::string_view text, ViewExtent extent) {
  ParsedMasks parsed;
  for (const std::string_view entry : SplitFields(text, ';')) {
    if (TrimBlanks(entry).empty())
      continue;
    const std::vector<std::string_view> fields = SplitFields(entry, ',');
    const auto refuse = [&](const char* reason) {
      parsed.refused.push_back({std::string(TrimBlanks(entry)), reason});
    };
    if (fields.size() != 4) {
      refuse("not four numbers");
      continue;
    }
    double corners[4] = {};
    bool numbers = true;
    for (std::size_t i = 0; i < 4; ++i) {
      const std::optional<double> value = PlainDecimal(fields[i]);
      numbers = numbers && value.has_value();
      corners[i] = value.value_or(0);
    }
    if (!numbers) {
      refuse("not four numbers");
      continue;
    }
    const ViewMask mask = ViewMask::FromCorners(corners[0], corners[1], corners[2], corners[3]);
    if (mask.right <= mask.left || mask.bottom <= mask.top) {
      refuse("zero area");
      continue;
    }
    if (mask.right <= 0 || mask.bottom <= 0 || mask.left >= extent.width ||
        mask.top >= extent.height) {
      refuse("outside the view");
      continue;
    }
    parsed.masks.push_back(mask);
  }
  return parsed;
}

std::string MasksText(const std::vector<ViewMask>& masks) {
  std::string text;
  for (const ViewMask& mask : masks) {
    if (!text.empty())
      text += ';';
    for (const double value : {mask.left, mask.top, mask.right, mask.bottom}) {
      if (text.size() > 0 && text.back() != ';')
        text += ',';
      text += FormatShortest(value).value_or("0");
    }
  }
  return text;
}

bool Masked(const std::vector<ViewMask>& masks, double x, double y) {
  return std::any_of(masks.begin(), masks.end(),
                     [x, y](const ViewMask& mask) { return mask.contains(x, y); });
}

}  // namespace scantouch
