#include "com/scene_painter.h"

#include <algorithm>
#include <cmath>

#include "com/ole_font.h"
#include "ui/twips.h"
#include "win/scoped_gdi.h"

namespace svctune::com {

namespace {

int ToPixels(double twips) {
  return static_cast<int>(std::lround(twips / 15.0));
}

RECT PixelRect(const scene::Rect& bounds, POINT origin) {
  const int left = origin.x + ToPixels(bounds.left);
  const int top = origin.y + ToPixels(bounds.top);
  return RECT{left, top, left + std::max(0, ToPixels(bounds.width)),
              top + std::max(0, ToPixels(bounds.height))};
}

void Fill(HDC dc, const RECT& area, COLORREF colour) {
  win::ScopedBrush brush(CreateSolidBrush(colour));
  if (brush) {
    FillRect(dc, &area, brush.get());
  }
}

void Frame(HDC dc, const RECT& area, COLORREF colour) {
  win::ScopedBrush brush(CreateSolidBrush(colour));
  if (brush) {
    FrameRect(dc, &area, brush.get());
  }
}

void PaintLabel(HDC dc, const scene::Element& label, const RECT& area) {
  if (label.opaque) {
    Fill(dc, area, ToColorRef(label.backColour));
  }
  if (label.border) {
    Frame(dc, area, RGB(0, 0, 0));
  }
  if (label.caption.empty()) {
    return;
  }
  win::ScopedFont font = CreateGdiFont(label.font);
  win::SelectedObject selected(dc, font.get());
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, ToColorRef(label.foreColour));
  RECT textArea = area;
  const UINT format = DT_NOPREFIX | DT_WORDBREAK |
                      (label.alignment == scene::Alignment::kCentre ? DT_CENTER : DT_LEFT);
  DrawTextW(dc, label.caption.c_str(), static_cast<int>(label.caption.size()), &textArea, format);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

}  // namespace

COLORREF ToColorRef(OleColour colour) {
  return static_cast<COLORREF>(
      ToRgb(colour, [](int index) { return static_cast<OleColour>(GetSysColor(index)); }));
}

scene::Size MeasureText(const std::wstring& text, const FontSpec& font) {
  win::WindowDc screen(nullptr);
  win::ScopedFont gdiFont = CreateGdiFont(font);
  if (screen.get() == nullptr || !gdiFont) {
    return scene::Size{};
  }
  win::SelectedObject selected(screen.get(), gdiFont.get());
  SIZE extent{};
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen.get(), &metrics);
  if (!text.empty()) {
    GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  }
  return scene::Size{static_cast<double>(PixelsToTwips(extent.cx)),
                     static_cast<double>(PixelsToTwips(metrics.tmHeight))};
}

void PaintScene(HDC dc, POINT origin, SIZE surfaceSize, OleColour surfaceColour,
                const scene::Scene& scene, HICON surfacePicture) {
  const RECT surface{origin.x, origin.y, origin.x + surfaceSize.cx, origin.y + surfaceSize.cy};
  Fill(dc, surface, ToColorRef(surfaceColour));
  const HRGN clip = CreateRectRgnIndirect(&surface);
  win::ScopedRegion clipRegion(clip);
  const int saved = SaveDC(dc);
  if (clip != nullptr) {
    ExtSelectClipRgn(dc, clip, RGN_AND);
  }
  if (surfacePicture != nullptr) {
    DrawIconEx(dc, origin.x, origin.y, surfacePicture, 0, 0, 0, nullptr, DI_NORMAL);
  }
  for (std::size_t id : scene.ZOrder()) {
    const scene::Element& element = scene.at(id);
    if (!element.visible) {
      continue;
    }
    const RECT area = PixelRect(element.bounds, origin);
    if (element.kind == scene::ElementKind::kFilledRect) {
      Fill(dc, area, ToColorRef(element.backColour));
      Frame(dc, area, ToColorRef(element.borderColour));
    } else {
      PaintLabel(dc, element, area);
    }
  }
  RestoreDC(dc, saved);
}

}  // namespace svctune::com
