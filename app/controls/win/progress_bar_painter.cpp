#include "controls/win/progress_bar_painter.h"

#include <olectl.h>

#include <utility>

#include "win/scoped_gdi.h"

namespace svctune::win {

namespace {

bool FillBack(HDC dc, const ProgressBarDrawing& drawing) {
  ScopedPen pen(CreatePen(PS_SOLID, 1, drawing.backColour));
  ScopedBrush brush(CreateSolidBrush(drawing.backColour));
  if (!pen || !brush) {
    return false;
  }
  SelectedObject selectedPen(dc, pen.get());
  SelectedObject selectedBrush(dc, brush.get());
  return Rectangle(dc, 0, 0, drawing.width, drawing.height) != FALSE;
}

bool DrawLines(HDC dc, const ProgressBarDrawing& drawing) {
  if (SetMapMode(dc, MM_ANISOTROPIC) == 0 ||
      !SetWindowExtEx(dc, drawing.windowExtentX, drawing.windowExtentY, nullptr) ||
      !SetViewportExtEx(dc, drawing.width, drawing.height, nullptr)) {
    return false;
  }
  // Neighbouring lines often share a colour: each run of one colour is drawn with one pen.
  ScopedPen pen;
  COLORREF penColour = 0;
  const HGDIOBJ previous = GetCurrentObject(dc, OBJ_PEN);
  bool drawn = true;
  for (const GradientLine& line : drawing.lines) {
    if (!pen || penColour != line.colour) {
      ScopedPen next(CreatePen(PS_SOLID, drawing.penWidth, line.colour));
      if (!next || SelectObject(dc, next.get()) == nullptr) {
        drawn = false;
        break;
      }
      pen = std::move(next);
      penColour = line.colour;
    }
    MoveToEx(dc, line.fromX, line.fromY, nullptr);
    LineTo(dc, line.toX, line.toY);
  }
  SelectObject(dc, previous);
  return drawn;
}

bool DrawBorder(HDC dc, const ProgressBarDrawing& drawing) {
  RECT bounds{0, 0, drawing.width, drawing.height};
  switch (drawing.border) {
    case BorderKind::kNone:
      return true;
    case BorderKind::kBump:
      return DrawEdge(dc, &bounds, EDGE_BUMP, BF_RECT) != FALSE;
    case BorderKind::kEtched:
      return DrawEdge(dc, &bounds, EDGE_ETCHED, BF_RECT) != FALSE;
    case BorderKind::kRaised:
      return DrawEdge(dc, &bounds, EDGE_RAISED, BF_RECT) != FALSE;
    case BorderKind::kSunken:
      return DrawEdge(dc, &bounds, EDGE_SUNKEN, BF_RECT) != FALSE;
    case BorderKind::kLine:
      break;
  }
  ScopedPen pen(CreatePen(PS_SOLID, 1, drawing.borderColour));
  if (!pen) {
    return false;
  }
  SelectedObject selectedPen(dc, pen.get());
  SelectedObject selectedBrush(dc, GetStockObject(NULL_BRUSH));
  return Rectangle(dc, 0, 0, drawing.width, drawing.height) != FALSE;
}

}  // namespace

bool PaintProgressBar(HDC dc, const ProgressBarDrawing& drawing) {
  if (dc == nullptr || drawing.width <= 0 || drawing.height <= 0) {
    return false;
  }
  if (!FillBack(dc, drawing)) {
    return false;
  }
  const int saved = SaveDC(dc);
  if (saved == 0) {
    return false;
  }
  const bool linesDrawn = DrawLines(dc, drawing);
  RestoreDC(dc, saved);
  return linesDrawn && DrawBorder(dc, drawing);
}

ColourTranslator OleColourTranslator() {
  return [](OleColour colour) -> std::optional<OleColour> {
    COLORREF rgb = 0;
    if (FAILED(OleTranslateColor(colour, nullptr, &rgb))) {
      return std::nullopt;
    }
    return static_cast<OleColour>(rgb);
  };
}

}  // namespace svctune::win
