#include "radar_widget.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "win32/wide_text.h"
#include "window_class.h"

namespace scantouch::gui_win32 {
namespace {

constexpr const wchar_t* kRadarClass = L"ScantouchRadar";
const COLORREF kHitColour = RGB(0, 255, 0);
const COLORREF kBeamColour = RGB(0, 0, 0);
const COLORREF kBackground = RGB(235, 240, 245);
const COLORREF kTouchRectColour = RGB(30, 90, 220);
const COLORREF kScannerColour = RGB(220, 40, 40);
const COLORREF kMarkerColour = RGB(255, 150, 0);
const COLORREF kContactColour = RGB(200, 0, 200);
// Contacts keep their size in pixels at every range: a finger is a finger on any view.
constexpr int kContactRadius_px = 12;

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

}  // namespace

RadarWidget::RadarWidget(HWND parent, MainForm& form, Calibration& calibration, FramePacer& pacer)
    : form_(form), calibration_(calibration) {
  // No background of its own: the back buffer covers everything.
  RegisterWindowClass(kRadarClass, &RadarWidget::Procedure, nullptr, IDC_CROSS, false);
  window_ = CreateWindowExW(0, kRadarClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                            nullptr, GetModuleHandleW(nullptr), this);
  // Every decoder pass may have changed the beams; once per frame at most the picture is
  // repainted if they, or anything else it shows, really changed.
  const auto check = pacer.add(window_, [this] { repaintIfChanged(); });
  form_.TXTRX.changed.connect(check);
  // The engine's contacts change in decoder passes, or, outside them, with its status (stopped).
  form_.LBL触控状态.changed.connect(check);
  const auto shownPartChanged = [this, check] {
    shownPartsChanged_ = true;
    check();
  };
  for (Shape* shape : {&form_.Shape1, &form_.SHPWIN, &form_.radar().shpmouse[0]}) {
    shape->geometryChanged.connect(shownPartChanged);
    shape->visibilityChanged.connect(shownPartChanged);
  }
  const auto labelChanged = [this, shownPartChanged] {
    backdropStale_ = true;
    shownPartChanged();
  };
  form_.PICYL.scaleChanged.connect(labelChanged);
  for (int i = 0; i < RadarModel::kQualityLabels; ++i)
    form_.radar().lblquality[i].changed.connect(labelChanged);
}

RadarWidget::~RadarWidget() {
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(labelFont_), static_cast<HGDIOBJ>(contactFont_),
                         static_cast<HGDIOBJ>(backBuffer_), static_cast<HGDIOBJ>(backdrop_)}) {
    if (object != nullptr)
      DeleteObject(object);
  }
}

void RadarWidget::ensureBuffers(HDC target, const RECT& client) {
  const SIZE size{std::max(1L, client.right), std::max(1L, client.bottom)};
  if (size.cx == bufferSize_.cx && size.cy == bufferSize_.cy && backBuffer_ != nullptr)
    return;
  for (HBITMAP* bitmap : {&backBuffer_, &backdrop_}) {
    if (*bitmap != nullptr)
      DeleteObject(*bitmap);
    *bitmap = CreateCompatibleBitmap(target, size.cx, size.cy);
  }
  bufferSize_ = size;
  backdropStale_ = true;
}

void RadarWidget::drawBackdrop(HDC context, const RECT& client) {
  FillRect(context, &client, GetSysColorBrush(COLOR_BTNFACE));
  const RECT view = square();
  const int side = view.right - view.left;
  HBRUSH background = CreateSolidBrush(kBackground);
  FillRect(context, &view, background);
  DeleteObject(background);
  if (side != labelLayoutSide_)
    layOutQualityLabels(side);
  SetViewportOrgEx(context, view.left, view.top, nullptr);
  HGDIOBJ oldFont = SelectObject(context, labelFont_);
  SetBkMode(context, TRANSPARENT);
  SetTextColor(context, RGB(60, 60, 60));
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
  SetViewportOrgEx(context, 0, 0, nullptr);
}

void RadarWidget::repaintIfChanged() {
  if (form_.Line1.revision() != paintedBeamRevision_ ||
      form_.radar().contactsRevision() != paintedContactsRevision_ || shownPartsChanged_)
    InvalidateRect(window_, nullptr, FALSE);
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
}

void RadarWidget::paint(HDC target) {
  RECT client;
  GetClientRect(window_, &client);
  ensureBuffers(target, client);
  HDC backdrop = CreateCompatibleDC(target);
  HGDIOBJ oldBackdrop = SelectObject(backdrop, backdrop_);
  if (backdropStale_) {
    drawBackdrop(backdrop, client);
    backdropStale_ = false;
  }
  // Drawn into a back buffer first, on the backdrop: the picture never flickers.
  HDC context = CreateCompatibleDC(target);
  HGDIOBJ oldBitmap = SelectObject(context, backBuffer_);
  BitBlt(context, 0, 0, client.right, client.bottom, backdrop, 0, 0, SRCCOPY);
  SelectObject(backdrop, oldBackdrop);
  DeleteDC(backdrop);

  const RECT view = square();
  const int side = view.right - view.left;
  SetViewportOrgEx(context, view.left, view.top, nullptr);
  const double scale = side / std::max(1.0, static_cast<double>(form_.PICYL.scaleWidth()));
  const auto px = [scale](double units) { return static_cast<int>(std::lround(units * scale)); };

  for (const bool hits : {false, true}) {
    for (const int width : {1, 2}) {
      Pen pen(context, hits ? kHitColour : kBeamColour, width);
      for (int degree = 0; degree < BeamTable::kBeams; ++degree) {
        const Beam& beam = form_.Line1[degree];
        if (!beam.visible || beam.hit != hits || beam.width != width)
          continue;
        MoveToEx(context, px(beam.x1), px(beam.y1), nullptr);
        LineTo(context, px(beam.x2), px(beam.y2));
      }
    }
  }
  HGDIOBJ oldBrush = SelectObject(context, GetStockObject(NULL_BRUSH));
  const auto drawRect = [&](const Shape& shape, COLORREF colour, bool round) {
    if (!shape.visible())
      return;
    Pen pen(context, colour, round ? 3 : 2);
    const int left = px(shape.left());
    const int top = px(shape.top());
    const int right = px(shape.left() + shape.width());
    const int bottom = px(shape.top() + shape.height());
    if (round)
      Ellipse(context, left, top, right, bottom);
    else
      Rectangle(context, left, top, right, bottom);
  };
  drawRect(form_.SHPWIN, kTouchRectColour, false);
  drawRect(form_.Shape1, kScannerColour, false);
  drawRect(form_.radar().shpmouse[0], kMarkerColour, true);
  SelectObject(context, oldBrush);
  drawContacts(context, scale);

  SetViewportOrgEx(context, 0, 0, nullptr);
  BitBlt(target, 0, 0, client.right, client.bottom, context, 0, 0, SRCCOPY);
  SelectObject(context, oldBitmap);
  DeleteDC(context);
  paintedBeamRevision_ = form_.Line1.revision();
  paintedContactsRevision_ = form_.radar().contactsRevision();
  shownPartsChanged_ = false;
}

void RadarWidget::drawContacts(HDC context, double scale) {
  const auto& contacts = form_.radar().contacts();
  if (contacts.empty())
    return;
  if (contactFont_ == nullptr) {
    contactFont_ =
        CreateFontW(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI");
  }
  Pen pen(context, kContactColour, 3);
  HGDIOBJ oldBrush = SelectObject(context, GetStockObject(NULL_BRUSH));
  HGDIOBJ oldFont = SelectObject(context, contactFont_);
  SetBkMode(context, TRANSPARENT);
  SetTextColor(context, kContactColour);
  constexpr int r = kContactRadius_px;
  for (const RadarModel::ContactMark& contact : contacts) {
    const int x = static_cast<int>(std::lround(contact.x * scale));
    const int y = static_cast<int>(std::lround(contact.y * scale));
    Ellipse(context, x - r, y - r, x + r + 1, y + r + 1);
    const std::wstring id = std::to_wstring(contact.cursorId);
    RECT box{x + r + 2, y - 2 * r, x + 5 * r, y};
    DrawTextW(context, id.c_str(), static_cast<int>(id.size()), &box,
              DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOCLIP);
  }
  SelectObject(context, oldFont);
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
      PAINTSTRUCT paint;
      HDC context = BeginPaint(window, &paint);
      self->paint(context);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN: {
      const RECT view = self->square();
      const double units = std::max(1.0f, self->form_.PICYL.scaleWidth()) /
                           std::max(1.0, static_cast<double>(view.right - view.left));
      self->calibration_.click(static_cast<float>((GET_X_LPARAM(lParam) - view.left) * units),
                               static_cast<float>((GET_Y_LPARAM(lParam) - view.top) * units));
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace scantouch::gui_win32
