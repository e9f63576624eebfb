#include "radar_widget.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "radar/outline_runs.h"
#include "radar/radar_frame_plan.h"
#include "radar/radar_palette.h"
#include "win32/wide_text.h"
#include "window_class.h"

namespace scantouch::gui_win32 {
namespace {

constexpr const wchar_t* kRadarClass = L"ScantouchRadar";

COLORREF Rgb(Colour colour) {
  return RGB(radar_palette::Red(colour), radar_palette::Green(colour), radar_palette::Blue(colour));
}

// A pen for the time of one drawing.
struct Pen {
  Pen(HDC into, COLORREF colour, int width)
      : context(into), pen(CreatePen(PS_SOLID, width, colour)), old(SelectObject(into, pen)) {}
  ~Pen() {
    SelectObject(context, old);
    DeleteObject(pen);
  }
  HDC context;
  HPEN pen;
  HGDIOBJ old;
};

// The rectangles a region is made of, from the corner at `origin`.
std::vector<ScanFootprint::PixelRect> RegionRects(HRGN region, POINT origin) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  if (size == 0)
    return {};
  std::vector<std::byte> data(size);
  auto* header = reinterpret_cast<RGNDATA*>(data.data());
  if (GetRegionData(region, size, header) == 0)
    return {};
  const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
  std::vector<ScanFootprint::PixelRect> parts;
  for (const RECT& rect : std::span(rects, header->rdh.nCount)) {
    parts.push_back({static_cast<int>(rect.left - origin.x), static_cast<int>(rect.top - origin.y),
                     static_cast<int>(rect.right - rect.left),
                     static_cast<int>(rect.bottom - rect.top)});
  }
  return parts;
}

}  // namespace

HWND RadarWidget::CreateFor(HWND parent, RadarWidget* self) {
  // No background of its own: the back buffer covers everything.
  RegisterWindowClass(kRadarClass, &RadarWidget::Procedure, nullptr, IDC_CROSS, false);
  return CreateWindowExW(0, kRadarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr,
                         GetModuleHandleW(nullptr), self);
}

RadarWidget::RadarWidget(HWND parent, MainForm& form, Calibration& calibration, FramePacer& pacer)
    : window_(CreateFor(parent, this)),
      form_(form),
      calibration_(calibration),
      frameRule_(
          RadarFrameRule::Sources{form.radar(), form.Line1, form.PICYL, form.Shape1, form.SHPWIN},
          // Through requestFrame, whose paint tells the frame rule that the frame was painted: the
          // rule announces the next change only after that, and a paint it did not ask for (the
          // cursor's click on the view) must not be what keeps the view going.
          pacer.add(window_, [this] { requestFrame(); })) {}

RadarWidget::~RadarWidget() {
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(labelFont_), static_cast<HGDIOBJ>(contactFont_),
                         static_cast<HGDIOBJ>(backBuffer_), static_cast<HGDIOBJ>(backdrop_),
                         static_cast<HGDIOBJ>(labels_)}) {
    if (object != nullptr)
      DeleteObject(object);
  }
}

void RadarWidget::ensureBuffers(HDC target, const RECT& client) {
  const SIZE size{std::max(1L, client.right), std::max(1L, client.bottom)};
  if (size.cx == bufferSize_.cx && size.cy == bufferSize_.cy && backBuffer_ != nullptr)
    return;
  for (HBITMAP* bitmap : {&backBuffer_, &backdrop_, &labels_}) {
    if (*bitmap != nullptr)
      DeleteObject(*bitmap);
    *bitmap = CreateCompatibleBitmap(target, size.cx, size.cy);
  }
  bufferSize_ = size;
}

void RadarWidget::drawBackdrop(HDC context, const RECT& client) {
  FillRect(context, &client, GetSysColorBrush(COLOR_BTNFACE));
  const RECT view = square();
  HBRUSH background = CreateSolidBrush(Rgb(radar_palette::kBackground));
  FillRect(context, &view, background);
  DeleteObject(background);
  IntersectClipRect(context, view.left, view.top, view.right, view.bottom);
  SetViewportOrgEx(context, view.left, view.top, nullptr);
  drawStillThings(context, (view.right - view.left) /
                               std::max(1.0, static_cast<double>(form_.PICYL.scaleWidth())));
  SetViewportOrgEx(context, 0, 0, nullptr);
  SelectClipRgn(context, nullptr);
}

void RadarWidget::drawStillThings(HDC context, double scale) const {
  const RadarModel::StillShapes& still = form_.radar().stillShapes();
  const auto px = [scale](double units) { return static_cast<int>(std::lround(units * scale)); };
  if (!still.masks.empty()) {
    HBRUSH fill = CreateSolidBrush(Rgb(radar_palette::kMaskFill));
    HBRUSH border = CreateSolidBrush(Rgb(radar_palette::kMaskBorder));
    for (const std::array<float, 4>& mask : still.masks) {
      const RECT box{px(mask[0]), px(mask[1]), px(mask[2]) + 1, px(mask[3]) + 1};
      FillRect(context, &box, fill);
      FrameRect(context, &box, border);
    }
    DeleteObject(border);
    DeleteObject(fill);
  }
  if (still.outlines.empty())
    return;
  Pen pen(context, Rgb(radar_palette::kBackgroundOutline), 1);
  std::vector<POINT> line;
  for (const std::vector<std::array<float, 2>>& outline : still.outlines) {
    for (const std::vector<std::array<float, 2>>& run : OutlineRuns(outline)) {
      line.clear();
      for (const std::array<float, 2>& point : run)
        line.push_back(POINT{px(point[0]), px(point[1])});
      if (line.size() == 1)
        SetPixel(context, line.front().x, line.front().y, Rgb(radar_palette::kBackgroundOutline));
      else
        Polyline(context, line.data(), static_cast<int>(line.size()));
    }
  }
}

void RadarWidget::drawDraggedMask(HDC context, double scale) const {
  const std::optional<std::array<float, 4>>& dragged = form_.radar().stillShapes().dragged;
  if (!dragged)
    return;
  const auto px = [scale](double units) { return static_cast<int>(std::lround(units * scale)); };
  // A dashed line wider than a pixel needs a geometric pen.
  const LOGBRUSH colour{BS_SOLID, Rgb(radar_palette::kDraggedMask), 0};
  HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_MITER,
                          radar_palette::kDraggedMaskPen_px, &colour, 0, nullptr);
  HGDIOBJ oldPen = SelectObject(context, pen);
  HGDIOBJ oldBrush = SelectObject(context, GetStockObject(NULL_BRUSH));
  const int oldMode = SetBkMode(context, TRANSPARENT);  // the gaps show what lies under them
  const std::array<float, 4>& mask = *dragged;
  Rectangle(context, px(mask[0]), px(mask[1]), px(mask[2]), px(mask[3]));
  SetBkMode(context, oldMode);
  SelectObject(context, oldBrush);
  SelectObject(context, oldPen);
  DeleteObject(pen);
}

std::array<double, 2> RadarWidget::toViewUnits(LPARAM pixel) const {
  const RECT view = square();
  const double units = std::max(1.0f, form_.PICYL.scaleWidth()) /
                       std::max(1.0, static_cast<double>(view.right - view.left));
  return {(GET_X_LPARAM(pixel) - view.left) * units, (GET_Y_LPARAM(pixel) - view.top) * units};
}

void RadarWidget::drawShapes(HDC context, double scale) const {
  // Over the beams, which would hide the scanner's square among the dense beams at its centre.
  HGDIOBJ oldBrush = SelectObject(context, GetStockObject(NULL_BRUSH));
  const auto drawRect = [&](const Shape& shape, Colour colour) {
    if (!shape.visible())
      return;
    const auto px = [scale](double units) { return static_cast<int>(std::lround(units * scale)); };
    Pen pen(context, Rgb(colour), radar_palette::kShapePen_px);
    Rectangle(context, px(shape.left()), px(shape.top()), px(shape.left() + shape.width()),
              px(shape.top() + shape.height()));
  };
  drawRect(form_.SHPWIN, radar_palette::kTouchRect);
  drawRect(form_.Shape1, radar_palette::kScanner);
  SelectObject(context, oldBrush);
}

void RadarWidget::drawQualityLabels(HDC context, int side) {
  if (side != labelLayoutSide_)
    layOutQualityLabels(side);
  // The background colour stands for "clear" when the labels are laid over the beams; text
  // smoothed against it looks, on the background, as if drawn there.
  const RECT all{0, 0, side, side};
  HBRUSH clear = CreateSolidBrush(Rgb(radar_palette::kBackground));
  FillRect(context, &all, clear);
  DeleteObject(clear);
  HGDIOBJ oldFont = SelectObject(context, labelFont_);
  SetBkMode(context, TRANSPARENT);
  SetTextColor(context, Rgb(radar_palette::kLabelText));
  for (const QualityLabelBox& placed : labelLayout_.labels) {
    const Label& label = form_.radar().lblquality[placed.index];
    if (!label.visible() || label.caption().empty())
      continue;
    const std::wstring caption = Widen(label.caption());
    const auto left = static_cast<LONG>(placed.left);
    const auto top = static_cast<LONG>(placed.top);
    const auto size = static_cast<LONG>(placed.size);
    RECT box{left, top, left + size, top + size};
    DrawTextW(context, caption.c_str(), static_cast<int>(caption.size()), &box,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  }
  SelectObject(context, oldFont);
  paintedLabels_.remember(labelLayout_, form_.radar().lblquality);
}

void RadarWidget::updateQualityLabels(HDC context, HRGN painting) {
  const std::vector<std::size_t> changed =
      paintedLabels_.changedSince(labelLayout_, form_.radar().lblquality);
  if (changed.empty())
    return;
  HBRUSH clear = CreateSolidBrush(Rgb(radar_palette::kBackground));
  HGDIOBJ oldFont = SelectObject(context, labelFont_);
  SetBkMode(context, TRANSPARENT);
  SetTextColor(context, Rgb(radar_palette::kLabelText));
  for (const std::size_t placed : changed) {
    const QualityLabelBox& box = labelLayout_.labels[placed];
    const auto left = static_cast<LONG>(box.left);
    const auto top = static_cast<LONG>(box.top);
    const auto size = static_cast<LONG>(box.size);
    RECT area{left, top, left + size, top + size};
    FillRect(context, &area, clear);
    const Label& label = form_.radar().lblquality[box.index];
    if (label.visible() && !label.caption().empty()) {
      const std::wstring caption = Widen(label.caption());
      DrawTextW(context, caption.c_str(), static_cast<int>(caption.size()), &area,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    }
    // A caption that changed after this frame was asked for shows at the next one.
    const RECT onScreen = labelBox(placed);
    HRGN outside = CreateRectRgnIndirect(&onScreen);
    if (CombineRgn(outside, outside, painting, RGN_DIFF) != NULLREGION) {
      requestPending_ = true;
      InvalidateRect(window_, &onScreen, FALSE);
    }
    DeleteObject(outside);
  }
  SelectObject(context, oldFont);
  DeleteObject(clear);
  paintedLabels_.remember(labelLayout_, form_.radar().lblquality);
}

ScanGeometry RadarWidget::scanGeometry() const {
  RECT client;
  GetClientRect(window_, &client);
  const RECT view = square();
  const double scale =
      (view.right - view.left) / std::max(1.0, static_cast<double>(form_.PICYL.scaleWidth()));
  return ScanGeometry{static_cast<int>(client.right), static_cast<int>(client.bottom), scale,
                      static_cast<double>(view.left), static_cast<double>(view.top)};
}

RECT RadarWidget::labelBox(std::size_t placed) const {
  const QualityLabelBox& box = labelLayout_.labels[placed];
  const RECT view = square();
  return RECT{view.left + static_cast<LONG>(std::floor(box.left)) - 1,
              view.top + static_cast<LONG>(std::floor(box.top)) - 1,
              view.left + static_cast<LONG>(std::ceil(box.left + box.size)) + 1,
              view.top + static_cast<LONG>(std::ceil(box.top + box.size)) + 1};
}

void RadarWidget::requestFrame() {
  const RadarFrameParts due = frameRule_.due();
  if (!due.any())
    return;
  RECT client;
  GetClientRect(window_, &client);
  const RECT view = square();
  const bool fits = client.right == bufferSize_.cx && client.bottom == bufferSize_.cy &&
                    view.right - view.left == labelLayoutSide_;
  const RadarFramePlan plan =
      PlanRadarFrame(due, {paintedScan_, paintedLabels_, labelLayout_, fits}, form_.Line1,
                     form_.radar(), scanGeometry());
  if (plan.paint == RadarFramePlan::Paint::whole) {
    requestPending_ = true;
    InvalidateRect(window_, nullptr, FALSE);
    return;
  }
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const auto add = [region](const RECT& rect) {
    HRGN part = CreateRectRgnIndirect(&rect);
    CombineRgn(region, region, part, RGN_OR);
    DeleteObject(part);
  };
  for (const ScanFootprint::PixelRect& r : plan.scan)
    add(RECT{r.left, r.top, r.left + r.width, r.top + r.height});
  for (const std::size_t placed : plan.labels)
    add(labelBox(placed));
  // What lies outside the window is never painted: a request of it would never be answered.
  HRGN inside = CreateRectRgnIndirect(&client);
  CombineRgn(region, region, inside, RGN_AND);
  DeleteObject(inside);
  RECT box;
  if (GetRgnBox(region, &box) == NULLREGION) {
    frameRule_.painted();
  } else {
    requestPending_ = true;
    InvalidateRgn(window_, region, FALSE);
  }
  DeleteObject(region);
}

RECT RadarWidget::square() const {
  RECT client;
  GetClientRect(window_, &client);
  const int side = std::min(client.right, client.bottom);
  const int left = (client.right - side) / 2;
  const int top = (client.bottom - side) / 2;
  return RECT{left, top, left + side, top + side};
}

void RadarWidget::layOutQualityLabels(int side) {
  labelLayoutSide_ = side;
  labelLayout_ = LayOutQualityLabels(side);
  if (labelFont_ != nullptr)
    DeleteObject(labelFont_);
  const int box = static_cast<int>(labelLayout_.boxPixels);
  labelFont_ = CreateFontW(-std::max(7, box * 4 / 5), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI");
  // Left, bottom, right and top edge, as the labels go round.
  std::vector<RECT> edges(4, RECT{side, side, 0, 0});
  for (const QualityLabelBox& placed : labelLayout_.labels) {
    RECT& edge = edges[static_cast<std::size_t>(placed.index / 90 % 4)];
    const auto left = static_cast<LONG>(std::floor(placed.left));
    const auto top = static_cast<LONG>(std::floor(placed.top));
    const auto right = static_cast<LONG>(std::ceil(placed.left + placed.size));
    const auto bottom = static_cast<LONG>(std::ceil(placed.top + placed.size));
    edge = RECT{std::min(edge.left, left), std::min(edge.top, top), std::max(edge.right, right),
                std::max(edge.bottom, bottom)};
  }
  labelStrips_.clear();
  for (const RECT& edge : edges) {
    const RECT strip{std::max(0L, edge.left), std::max(0L, edge.top),
                     std::min<LONG>(side, edge.right), std::min<LONG>(side, edge.bottom)};
    if (strip.left < strip.right && strip.top < strip.bottom)
      labelStrips_.push_back(strip);
  }
}

void RadarWidget::paint(HDC target, HRGN update) {
  const RadarFrameParts due = frameRule_.due();
  RECT client;
  GetClientRect(window_, &client);
  const bool resized = client.right != bufferSize_.cx || client.bottom != bufferSize_.cy;
  ensureBuffers(target, client);
  const RECT view = square();
  const int side = view.right - view.left;
  const double scale = side / std::max(1.0, static_cast<double>(form_.PICYL.scaleWidth()));
  HDC layer = CreateCompatibleDC(target);
  HGDIOBJ oldLayer = SelectObject(layer, backdrop_);
  if (resized || due.backdrop)
    drawBackdrop(layer, client);
  // Drawn into a back buffer first, on the backdrop: the picture never flickers.
  HDC context = CreateCompatibleDC(target);
  HGDIOBJ oldBitmap = SelectObject(context, backBuffer_);
  // Only what this frame shows is drawn again: where the scan was and is, or all of it. Copies
  // cover only the box around it, and only the beams that reach it are drawn.
  SelectClipRgn(context, update);
  RECT box;
  const int regionKind = GetRgnBox(update, &box);
  if (regionKind == NULLREGION)
    box = RECT{0, 0, 0, 0};
  const int boxWidth = box.right - box.left;
  const int boxHeight = box.bottom - box.top;
  BitBlt(context, box.left, box.top, boxWidth, boxHeight, layer, box.left, box.top, SRCCOPY);

  SetViewportOrgEx(context, view.left, view.top, nullptr);
  drawBeams(context, scale, RegionRects(update, POINT{view.left, view.top}));
  drawShapes(context, scale);
  const Shape& marker = form_.radar().shpmouse[0];
  if (marker.visible()) {
    const auto px = [scale](double units) { return static_cast<int>(std::lround(units * scale)); };
    HGDIOBJ oldBrush = SelectObject(context, GetStockObject(NULL_BRUSH));
    Pen pen(context, Rgb(radar_palette::kTouchMarker), radar_palette::kTouchMarkerPen_px);
    Ellipse(context, px(marker.left()), px(marker.top()), px(marker.left() + marker.width()),
            px(marker.top() + marker.height()));
    SelectObject(context, oldBrush);
  }
  // The labels over the beams, from their own bitmap, only along the edges where they lie.
  SelectObject(layer, labels_);
  if (resized || side != labelLayoutSide_)
    drawQualityLabels(layer, side);
  else if (due.labels)
    updateQualityLabels(layer, update);
  RECT painting = box;  // in the view's pixels
  OffsetRect(&painting, -view.left, -view.top);
  for (const RECT& strip : labelStrips_) {
    // A transparent copy works on all of what it is given: only the part being painted.
    RECT part;
    if (!IntersectRect(&part, &strip, &painting))
      continue;
    const int width = part.right - part.left;
    const int height = part.bottom - part.top;
    GdiTransparentBlt(context, part.left, part.top, width, height, layer, part.left, part.top,
                      width, height, Rgb(radar_palette::kBackground));
  }
  SelectObject(layer, oldLayer);
  DeleteDC(layer);
  drawOtherScanners(context, scale);
  drawContacts(context, scale);
  drawDraggedMask(context, scale);

  SetViewportOrgEx(context, 0, 0, nullptr);
  BitBlt(target, box.left, box.top, boxWidth, boxHeight, context, box.left, box.top, SRCCOPY);
  SelectClipRgn(context, nullptr);
  SelectObject(context, oldBitmap);
  DeleteDC(context);
  // Invalid parts add up until painted: a paint answers every frame asked for before it. One
  // without a request (a part uncovered) leaves what changed due, and what the screen shows of
  // the scan is known only when all of it was painted.
  const bool whole = regionKind == SIMPLEREGION && EqualRect(&box, &client);
  if (requestPending_ || whole)
    paintedScan_.remember(form_.Line1, form_.radar(), scanGeometry());
  else
    paintedScan_.forget();
  if (requestPending_) {
    requestPending_ = false;
    frameRule_.painted();
  }
}

void RadarWidget::drawBeams(HDC context, double scale,
                            const std::vector<ScanFootprint::PixelRect>& parts) const {
  const auto px = [scale](double units) { return static_cast<int>(std::lround(units * scale)); };
  std::array<bool, BeamTable::kBeams> reaches{};
  for (int degree = 0; degree < BeamTable::kBeams; ++degree)
    reaches[static_cast<std::size_t>(degree)] = BeamReaches(form_.Line1[degree], scale, parts);
  // One pen per colour and width: a pen per beam costs more than the line.
  for (const bool hits : {false, true}) {
    for (const int width : {1, 2}) {
      Pen pen(context, Rgb(hits ? radar_palette::kHit : radar_palette::kBeam), width);
      for (int degree = 0; degree < BeamTable::kBeams; ++degree) {
        const Beam& beam = form_.Line1[degree];
        if (!reaches[static_cast<std::size_t>(degree)] || beam.hit != hits ||
            (beam.width >= 2 ? 2 : 1) != width)
          continue;
        MoveToEx(context, px(beam.x1), px(beam.y1), nullptr);
        LineTo(context, px(beam.x2), px(beam.y2));
      }
    }
  }
}

void RadarWidget::drawContacts(HDC context, double scale) {
  const auto& contacts = form_.radar().contacts();
  if (contacts.empty())
    return;
  if (contactFont_ == nullptr) {
    contactFont_ = CreateFontW(-radar_palette::kContactIdFont_px, 0, 0, 0, FW_BOLD, FALSE, FALSE,
                               FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI");
  }
  Pen pen(context, Rgb(radar_palette::kContact), radar_palette::kContactPen_px);
  HGDIOBJ oldBrush = SelectObject(context, GetStockObject(NULL_BRUSH));
  HGDIOBJ oldFont = SelectObject(context, contactFont_);
  SetBkMode(context, TRANSPARENT);
  SetTextColor(context, Rgb(radar_palette::kContact));
  // Beside the ring, its foot on the ring's middle. Drawn as it is, without DrawTextW's layout:
  // a contact moves in every turn.
  const UINT oldAlign = SetTextAlign(context, TA_LEFT | TA_BOTTOM | TA_NOUPDATECP);
  constexpr int r = radar_palette::kContactRadius_px;
  for (const RadarModel::ContactMark& contact : contacts) {
    const int x = static_cast<int>(std::lround(contact.x * scale));
    const int y = static_cast<int>(std::lround(contact.y * scale));
    Ellipse(context, x - r, y - r, x + r + 1, y + r + 1);
    const std::wstring id = std::to_wstring(contact.cursorId);
    ExtTextOutW(context, x + r + 2, y, 0, nullptr, id.c_str(), static_cast<UINT>(id.size()),
                nullptr);
  }
  SetTextAlign(context, oldAlign);
  SelectObject(context, oldFont);
  SelectObject(context, oldBrush);
}

void RadarWidget::drawOtherScanners(HDC context, double scale) const {
  const auto& scanners = form_.radar().otherScanners();
  if (scanners.empty())
    return;
  constexpr double side = radar_palette::kOtherScannerPoint_px;
  constexpr double marker = radar_palette::kOtherScannerMarker_px;
  const auto corner = [](double centre, double size) {
    return static_cast<int>(std::lround(centre - size / 2));
  };
  HGDIOBJ oldBrush = SelectObject(context, GetStockObject(NULL_BRUSH));
  for (const RadarModel::OtherScanner& scanner : scanners) {
    const COLORREF colour = Rgb(radar_palette::ScannerColour(scanner.colourIndex));
    HBRUSH dots = CreateSolidBrush(colour);
    for (const std::array<float, 2>& point : scanner.points) {
      const int left = corner(point[0] * scale, side);
      const int top = corner(point[1] * scale, side);
      const RECT dot{left, top, left + static_cast<int>(side), top + static_cast<int>(side)};
      FillRect(context, &dot, dots);
    }
    DeleteObject(dots);
    Pen pen(context, scanner.silent ? Rgb(radar_palette::kSilentScanner) : colour,
            radar_palette::kShapePen_px);
    const int left = corner(scanner.x * scale, marker);
    const int top = corner(scanner.y * scale, marker);
    Rectangle(context, left, top, left + static_cast<int>(marker), top + static_cast<int>(marker));
  }
  SelectObject(context, oldBrush);
}

LRESULT CALLBACK RadarWidget::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowObject<RadarWidget>(window, message, lParam);
  if (self == nullptr)
    return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the back buffer covers everything
    case WM_PAINT: {
      HRGN update = CreateRectRgn(0, 0, 0, 0);
      GetUpdateRgn(window, update, FALSE);
      PAINTSTRUCT paint;
      HDC context = BeginPaint(window, &paint);
      self->paint(context, update);
      EndPaint(window, &paint);
      DeleteObject(update);
      return 0;
    }
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN: {
      const std::array<double, 2> units = self->toViewUnits(lParam);
      if (self->form_.maskDrawing().press(units[0], units[1])) {
        // The drag goes on beyond the view's edge, and its end comes here wherever it is.
        SetCapture(window);
        return 0;
      }
      // What the click moves the frame rule repaints; a click that moves nothing, as the clicks
      // of touches landing on this window do, repaints nothing.
      self->calibration_.click(static_cast<float>(units[0]), static_cast<float>(units[1]));
      return 0;
    }
    case WM_MOUSEMOVE:
      if (self->form_.maskDrawing().dragging()) {
        const std::array<double, 2> units = self->toViewUnits(lParam);
        self->form_.maskDrawing().move(units[0], units[1]);
      }
      return 0;
    case WM_LBUTTONUP:
      if (self->form_.maskDrawing().dragging()) {
        const std::array<double, 2> units = self->toViewUnits(lParam);
        self->form_.maskDrawing().release(units[0], units[1]);
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the mouse mid-drag: its end will never come here.
      if (self->form_.maskDrawing().dragging())
        self->form_.maskDrawing().cancel();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace scantouch::gui_win32
