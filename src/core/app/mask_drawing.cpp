#include "app/mask_drawing.h"

#include <cmath>
#include <string>

#include "background/view_masks.h"

namespace scantouch {

MaskDrawing::MaskDrawing(CheckBox& drawing, TextBox& masks, RadarModel& radar)
    : drawing_(drawing), masks_(masks), radar_(radar) {
  drawing_.clicked.connect([this] {
    if (!drawing_.isChecked())
      cancel();
  });
}

bool MaskDrawing::press(double x, double y) {
  if (!drawing_.isChecked())
    return false;
  from_ = {x, y};
  show(x, y);
  return true;
}

void MaskDrawing::move(double x, double y) {
  if (from_)
    show(x, y);
}

void MaskDrawing::release(double x, double y) {
  if (!from_)
    return;
  const std::array<double, 2> from = *from_;
  from_.reset();
  radar_.showDraggedMask(std::nullopt);
  if (std::abs(x - from[0]) < kLeastSide || std::abs(y - from[1]) < kLeastSide)
    return;
  // Whole view units: what a user would type.
  const ViewMask mask =
      ViewMask::FromCorners(std::round(from[0]), std::round(from[1]), std::round(x), std::round(y));
  std::string text = masks_.text();
  while (!text.empty() && (text.back() == ' ' || text.back() == ';'))
    text.pop_back();
  if (!text.empty())
    text += ";";
  masks_.setText(text + MasksText({mask}));
}

void MaskDrawing::cancel() {
  from_.reset();
  radar_.showDraggedMask(std::nullopt);
}

void MaskDrawing::show(double x, double y) {
  const ViewMask mask = ViewMask::FromCorners((*from_)[0], (*from_)[1], x, y);
  radar_.showDraggedMask(
      std::array<float, 4>{static_cast<float>(mask.left), static_cast<float>(mask.top),
                           static_cast<float>(mask.right), static_cast<float>(mask.bottom)});
}

}  // namespace scantouch
