#include "controls/win/qx_button_painter.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace svctune::win {

namespace {

constexpr DWORD kDestAndNotSource = 0x00220326;         // DSna
constexpr DWORD kPatternWhereSourceBlack = 0x00B8074A;  // PSDPxax

COLORREF Ref(OleColour colour) {
  return static_cast<COLORREF>(colour & 0xFFFFFF);
}

bool FillSolid(HDC dc, const RECT& rect, OleColour colour) {
  ScopedBrush brush(CreateSolidBrush(Ref(colour)));
  return brush && FillRect(dc, &rect, brush.get()) != 0;
}

bool FrameRegion(HDC dc, HRGN region, OleColour colour) {
  if (region == nullptr) {
    return true;
  }
  ScopedBrush brush(CreateSolidBrush(Ref(colour)));
  return brush && FrameRgn(dc, region, brush.get(), 1, 1) != 0;
}

// Paints gradient bands across the surface: along x for modes 1 and 2, along y for 3 and 4.
// The last band reaches the edge when the length is odd.
bool PaintGradient(HDC dc, int width, int height, int mode, OleColour start, OleColour end,
                   int screenLength) {
  const bool across = mode == 1 || mode == 2;
  const int length = across ? width : height;
  const GradientBands bands = GradientOf(mode, length, screenLength, start, end);
  bool ok = true;
  for (int k = 0; k < bands.count; ++k) {
    const int from = k * bands.thickness;
    const int to = k + 1 == bands.count ? length : from + bands.thickness;
    const RECT band = across ? RECT{from, 0, to, height} : RECT{0, from, width, to};
    ok = FillSolid(dc, band, bands.colours[static_cast<std::size_t>(k)]) && ok;
  }
  return ok;
}

// The pen of the colour last asked for, selected into the DC; the DC's own pen goes back at
// the end.
class PenBox {
 public:
  explicit PenBox(HDC dc) : dc_(dc) {}
  ~PenBox() {
    if (original_ != nullptr) {
      SelectObject(dc_, original_);
    }
  }
  PenBox(const PenBox&) = delete;
  PenBox& operator=(const PenBox&) = delete;

  bool Use(OleColour colour) {
    if (pen_ && colour == colour_) {
      return true;
    }
    ScopedPen pen(CreatePen(PS_SOLID, 1, Ref(colour)));
    if (!pen) {
      return false;
    }
    const HGDIOBJ previous = SelectObject(dc_, pen.get());
    if (previous == nullptr || previous == HGDI_ERROR) {
      return false;
    }
    if (original_ == nullptr) {
      original_ = previous;
    }
    pen_ = std::move(pen);
    colour_ = colour;
    return true;
  }

 private:
  HDC dc_;
  HGDIOBJ original_ = nullptr;
  ScopedPen pen_;
  OleColour colour_ = 0;
};

// A memory DC with a bitmap of its own selected for the life of the scope.
class Scratch {
 public:
  Scratch(HDC like, int width, int height, bool monochrome)
      : dc_(CreateCompatibleDC(like)),
        bitmap_(monochrome ? CreateBitmap(width, height, 1, 1, nullptr)
                           : CreateCompatibleBitmap(like, width, height)) {
    if (dc_ && bitmap_) {
      previous_ = SelectObject(dc_.get(), bitmap_.get());
    }
  }
  ~Scratch() {
    if (ok()) {
      SelectObject(dc_.get(), previous_);
    }
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  bool ok() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }
  HDC dc() const { return dc_.get(); }

 private:
  ScopedMemoryDc dc_;
  ScopedBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
};

// A bitmap stretched into rect through a mask of its top-left pixel's colour: the mask is
// combined with AND, then the picture with its transparent pixels blacked out with OR, in a
// temporary surface that is finally copied into dc.
bool DrawTransparentBitmap(HDC dc, const OlePicture& picture, const RECT& rect) {
  const int sourceWidth = picture.width();
  const int sourceHeight = picture.height();
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) {
    return true;
  }
  ScopedMemoryDc source(CreateCompatibleDC(dc));
  if (!source) {
    return false;
  }
  SelectedObject sourceBitmap(source.get(), picture.bitmap());
  HPALETTE previousPalette = nullptr;
  if (const HPALETTE palette = picture.palette()) {
    previousPalette = SelectPalette(source.get(), palette, FALSE);
    RealizePalette(source.get());
  }
  const COLORREF key = GetPixel(source.get(), 0, 0);
  Scratch mask(dc, sourceWidth, sourceHeight, true);
  Scratch image(dc, sourceWidth, sourceHeight, false);
  Scratch temp(dc, width, height, false);
  bool ok = mask.ok() && image.ok() && temp.ok() && key != CLR_INVALID;
  if (ok) {
    SetBkColor(source.get(), key);
    ok = BitBlt(mask.dc(), 0, 0, sourceWidth, sourceHeight, source.get(), 0, 0, SRCCOPY) &&
         BitBlt(image.dc(), 0, 0, sourceWidth, sourceHeight, source.get(), 0, 0, SRCCOPY);
  }
  if (ok) {
    SetBkColor(image.dc(), RGB(255, 255, 255));
    SetTextColor(image.dc(), RGB(0, 0, 0));
    SetBkColor(temp.dc(), RGB(255, 255, 255));
    SetTextColor(temp.dc(), RGB(0, 0, 0));
    SetStretchBltMode(temp.dc(), COLORONCOLOR);
    ok = BitBlt(image.dc(), 0, 0, sourceWidth, sourceHeight, mask.dc(), 0, 0, kDestAndNotSource) &&
         BitBlt(temp.dc(), 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY) &&
         StretchBlt(temp.dc(), 0, 0, width, height, mask.dc(), 0, 0, sourceWidth, sourceHeight,
                    SRCAND) &&
         StretchBlt(temp.dc(), 0, 0, width, height, image.dc(), 0, 0, sourceWidth, sourceHeight,
                    SRCPAINT) &&
         BitBlt(dc, rect.left, rect.top, width, height, temp.dc(), 0, 0, SRCCOPY);
  }
  if (previousPalette != nullptr) {
    SelectPalette(source.get(), previousPalette, FALSE);
  }
  return ok;
}

bool DrawPictureImage(HDC dc, const OlePicture& picture, const RECT& rect) {
  if (picture.kind() == PictureKind::kBitmap) {
    return DrawTransparentBitmap(dc, picture, rect);
  }
  return DrawIconEx(dc, rect.left, rect.top, picture.icon(), rect.right - rect.left,
                    rect.bottom - rect.top, 0, nullptr, DI_NORMAL) != 0;
}

// A disabled button's picture: every pixel the picture covers on a white surface is painted
// gray.
bool DrawSilhouette(HDC dc, const OlePicture& picture, const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) {
    return true;
  }
  Scratch colour(dc, width, height, false);
  Scratch mono(dc, width, height, true);
  if (!colour.ok() || !mono.ok()) {
    return false;
  }
  const RECT whole{0, 0, width, height};
  if (!FillSolid(colour.dc(), whole, kWhite) || !DrawPictureImage(colour.dc(), picture, whole)) {
    return false;
  }
  SetBkColor(colour.dc(), RGB(255, 255, 255));
  if (!BitBlt(mono.dc(), 0, 0, width, height, colour.dc(), 0, 0, SRCCOPY)) {
    return false;
  }
  ScopedBrush gray(CreateSolidBrush(Ref(kGray)));
  if (!gray) {
    return false;
  }
  SelectedObject brush(dc, gray.get());
  const COLORREF background = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
  const bool ok = BitBlt(dc, rect.left, rect.top, width, height, mono.dc(), 0, 0,
                         kPatternWhereSourceBlack) != 0;
  SetBkColor(dc, background);
  SetTextColor(dc, text);
  return ok;
}

RECT ToRect(const PixelRect& rect, PixelPoint offset = {0, 0}) {
  return {rect.left + offset.x, rect.top + offset.y, rect.right + offset.x, rect.bottom + offset.y};
}

bool DrawCaptionText(HDC dc, const std::wstring& text, RECT rect, UINT format, OleColour colour,
                     int dx, int dy) {
  SetTextColor(dc, Ref(colour));
  OffsetRect(&rect, dx, dy);
  return DrawTextW(dc, text.c_str(), -1, &rect, format) != 0;
}

// The drawing steps of one pass, over the model's state.
class Pass {
 public:
  Pass(const qxButtons_H& model, const QxPaintInput& in)
      : m_(model),
        in_(in),
        w_(in.width),
        h_(in.height),
        shape_(model.ButtonShape()),
        style_(model.ButtonStyle()),
        hovering_((model.StateFlags() & kHover) != 0),
        pressed_(model.ShownPressed()),
        checkable_(model.Mode() != 0),
        colours_(model.Colours()) {}

  bool Run() {
    SelectClipRgn(in_.dc, nullptr);
    bool ok = Ring();
    ok = Fill() && ok;
    ok = CaptionAndPicture() && ok;
    SelectClipRgn(in_.dc, nullptr);
    if (shape_ <= 3) {
      ok = Edges() && ok;
    }
    ok = DefaultMarking() && ok;
    return Outlines() && ok;
  }

 private:
  const RECT Whole() const { return {0, 0, w_, h_}; }

  bool Ring() {
    bool ok = true;
    const HDC dc = in_.dc;
    if (shape_ >= 4 && shape_ <= 6 && style_ != 5) {
      ok = shape_ == 6 ? FrameRegion(dc, in_.windowRegion, kBlack)
                       : PaintGradient(dc, w_, h_, 3, kWhite, kGray, in_.screenHeight);
    }
    const bool plainStyle5 = !hovering_ && !pressed_ && !m_.Value() && style_ == 5;
    if (style_ == 5 && (m_.Value() || (shape_ != 6 && shape_ != 7)) && !plainStyle5) {
      ok = PaintGradient(dc, w_, h_, 3, kWhite, kGray, in_.screenHeight) && ok;
      Clip(in_.innerRegion);
    } else if ((!pressed_ && !m_.Value()) || shape_ == 6 || shape_ == 7) {
      if (shape_ == 7 || shape_ == 8) {
        ok = FrameRegion(dc, in_.windowRegion, m_.Rgb(m_.BackColor())) && ok;
      } else if (shape_ == 6 && hovering_) {
        ok = FrameRegion(dc, in_.windowRegion, kBlack) && ok;
      }
      Clip(in_.outerRegion);
    } else if (in_.outerRegion != nullptr) {
      Clip(in_.outerRegion);
      ok = PaintGradient(dc, w_, h_, 3, kGray, kWhite, in_.screenHeight) && ok;
      Clip(in_.innerRegion);
    }
    return ok;
  }

  void Clip(HRGN region) {
    if (region != nullptr) {
      SelectClipRgn(in_.dc, region);
    }
  }

  OleColour FillColour() const {
    OleColour fill = checkable_ && m_.Value() ? colours_.light : colours_.face;
    if (style_ == 3 && !checkable_ && pressed_) {
      fill = colours_.shadow;
    }
    const OleColour hover = colours_.hoverFace <= 0xFFFFFF ? colours_.hoverFace : fill;
    if (hovering_ && ((!checkable_ && !pressed_) || (checkable_ && !m_.Value()))) {
      fill = hover;
    }
    return fill;
  }

  bool Fill() {
    const HDC dc = in_.dc;
    const OleColour fill = FillColour();
    const bool enabled = m_.Enabled();
    if (m_.Value() || shape_ >= 7 || m_.GradientMode() == 0) {
      if (style_ == 2 && (enabled || checkable_)) {
        bool ok = true;
        for (int row = 0; row <= h_; ++row) {
          const int amount = static_cast<int>(std::nearbyint(-(25.0 / std::max(h_, 1)) * row));
          ok = FillSolid(dc, RECT{0, row, w_, row + 1}, ShiftColor(fill, amount, true)) && ok;
        }
        return ok;
      }
      return FillSolid(dc, Whole(), fill);
    }
    if (!hovering_ || pressed_ || m_.GradientColor() == m_.HoverBackColor()) {
      const int mode = m_.GradientMode();
      const int screen = mode <= 2 ? in_.screenWidth : in_.screenHeight;
      return PaintGradient(dc, w_, h_, mode, fill, m_.Rgb(m_.GradientColor()), screen);
    }
    return FillSolid(dc, Whole(), fill);
  }

  OleColour CaptionColour() const {
    if (hovering_ && !pressed_) {
      return m_.Rgb(m_.HoverForeColor());
    }
    return m_.Rgb(m_.ForeColor());
  }

  bool CaptionAndPicture() {
    const HDC dc = in_.dc;
    const LayoutInput layoutInput = m_.LayoutFor(w_, h_);
    const ButtonLayout layout =
        LayoutOf(layoutInput, [&](const std::wstring& text, int maxWidth, int maxHeight) {
          return MeasureCaption(dc, in_.font, text, maxWidth, maxHeight);
        });
    captionRect_ = layout.caption;
    pictureRect_ = layout.picture;
    const PixelPoint offset = m_.PressedOffset();
    bool ok = true;
    if (in_.picture != nullptr && !(shape_ >= 7 && m_.Value())) {
      const RECT place = ToRect(layout.picture, offset);
      ok = m_.Enabled() ? DrawPictureImage(dc, *in_.picture, place)
                        : DrawSilhouette(dc, *in_.picture, place);
    }
    if (layoutInput.caption.empty() || (shape_ >= 5 && !m_.Value())) {
      return ok;
    }
    SelectedObject font(dc, in_.font != nullptr ? static_cast<HGDIOBJ>(in_.font)
                                                : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    static constexpr UINT kAlign[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    const UINT format = kAlign[std::clamp(m_.CaptionAlign(), 0, 2)] | DT_WORDBREAK;
    const RECT place = ToRect(layout.caption, offset);
    const std::wstring& text = layoutInput.caption;
    if (m_.Enabled()) {
      if (m_.CaptionStyle() != 0) {
        const int d = m_.CaptionStyle() == 1 ? -40 : 40;
        ok = DrawCaptionText(dc, text, place, format, ShiftColor(colours_.face, d), -1, 0) && ok;
        ok = DrawCaptionText(dc, text, place, format, ShiftColor(colours_.face, -d), 1, 2) && ok;
        return DrawCaptionText(dc, text, place, format, CaptionColour(), 0, 1) && ok;
      }
      return DrawCaptionText(dc, text, place, format, CaptionColour(), 0, 0) && ok;
    }
    std::int64_t disabled = -1;
    if (style_ == 3) {
      disabled = kFlatDisabledColour;
    } else if (style_ == 0 && checkable_) {
      disabled = kGray;
    }
    if (disabled < 0 || m_.GradientMode() != 0) {
      ok = DrawCaptionText(dc, text, place, format, kWhite, 1, 1) && ok;
      return DrawCaptionText(dc, text, place, format, kGray, 0, 0) && ok;
    }
    return DrawCaptionText(dc, text, place, format, static_cast<OleColour>(disabled), 0, 0) && ok;
  }

  bool Edges() {
    const auto rings = EdgeRings(shape_, w_, h_);
    const EdgeColours table = EdgeColoursOf(style_, m_.CurrentEdgeState(),
                                            (m_.StateFlags() & kDefaultMarking) != 0, colours_);
    PenBox pens(in_.dc);
    bool ok = true;
    for (std::size_t ring = 0; ring < rings.size(); ++ring) {
      const EdgeRing& points = rings[ring];
      MoveToEx(in_.dc, points[0].x, points[0].y, nullptr);
      for (std::size_t side = 0; side < 4; ++side) {
        const std::int64_t colour = table[ring * 4 + side];
        const PixelPoint to = points[side + 1];
        if (colour < 0) {
          MoveToEx(in_.dc, to.x, to.y, nullptr);
          continue;
        }
        ok = pens.Use(static_cast<OleColour>(colour)) && LineTo(in_.dc, to.x, to.y) && ok;
      }
    }
    return ok;
  }

  bool DefaultMarking() {
    if ((m_.StateFlags() & kDefaultMarking) == 0 || shape_ >= 7 || (style_ == 2 && shape_ >= 4)) {
      return true;
    }
    const HDC dc = in_.dc;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    if (shape_ == 0) {
      const RECT focus{4, 4, w_ - 4, h_ - 4};
      if (!m_.Value()) {
        return DrawFocusRect(dc, &focus) != 0;
      }
      ScopedBrush brush(CreateSolidBrush(Ref(CaptionColour())));
      return brush && FrameRect(dc, &focus, brush.get()) != 0;
    }
    if (shape_ <= 3) {
      const int s = SlantOf(shape_, h_);
      const bool left = shape_ == 1 || shape_ == 3;
      const bool right = shape_ == 2 || shape_ == 3;
      const int top = 4;
      const int bottom = h_ - 5;
      const POINT outline[5] = {{left ? top + 4 : 4, top},
                                {right ? w_ - s + top - 4 : w_ - 5, top},
                                {right ? w_ - s + bottom - 4 : w_ - 5, bottom},
                                {left ? bottom + 4 : 4, bottom},
                                {left ? top + 4 : 4, top}};
      PenBox pens(dc);
      return pens.Use(CaptionColour()) && Polyline(dc, outline, 5) != 0;
    }
    const PixelRect around = m_.Caption().empty() ? pictureRect_ : captionRect_;
    const PixelPoint offset = m_.PressedOffset();
    RECT focus{std::max(around.left - 2, 4), std::max(around.top - 2, 4),
               std::min(around.right + 2, w_ - 4), std::min(around.bottom + 2, h_ - 4)};
    OffsetRect(&focus, offset.x, offset.y);
    return DrawFocusRect(dc, &focus) != 0;
  }

  bool Outlines() {
    const HDC dc = in_.dc;
    const bool defaultMarking = (m_.StateFlags() & kDefaultMarking) != 0;
    const bool option = m_.Mode() == 2;
    bool ok = true;
    if (shape_ >= 7) {
      if ((!hovering_ || pressed_) && defaultMarking) {
        const OleColour colour = m_.Value() && !option ? ShiftColor(colours_.shadow, -32) : kBlack;
        ok = FrameRegion(dc, shape_ == 7 ? in_.outerRegion : in_.innerRegion, colour);
      }
      if (hovering_ && !pressed_ && !option && colours_.hoverFace != m_.Rgb(m_.BackColor())) {
        ok = FrameRegion(dc, in_.windowRegion, colours_.hoverFace) && ok;
      }
    } else if (shape_ >= 4) {
      if (option && !pressed_) {
        ok = FrameRegion(dc, in_.outerRegion, kBlack);
      }
      if (shape_ == 6) {
        ok = FrameRegion(dc, in_.windowRegion, kBlack) && ok;
      }
    }
    return ok;
  }

  const qxButtons_H& m_;
  const QxPaintInput& in_;
  int w_;
  int h_;
  int shape_;
  int style_;
  bool hovering_;
  bool pressed_;
  bool checkable_;
  DerivedColours colours_;
  PixelRect captionRect_;
  PixelRect pictureRect_;
};

bool Subtract(HRGN from, const RECT& rect) {
  ScopedRegion cut(CreateRectRgnIndirect(&rect));
  return cut && CombineRgn(from, from, cut.get(), RGN_DIFF) != ERROR;
}

// Cuts every run of pixels within 3 of the top-left colour (per channel) out of the regions.
bool CutTransparentRuns(QxRegions& regions, const OlePicture& picture, int width, int height) {
  ScopedMemoryDc screen(CreateCompatibleDC(nullptr));
  if (!screen) {
    return false;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedBitmap scaled(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ScopedMemoryDc source(CreateCompatibleDC(nullptr));
  if (!scaled || bits == nullptr || !source) {
    return false;
  }
  {
    SelectedObject target(screen.get(), scaled.get());
    SelectedObject original(source.get(), picture.bitmap());
    SetStretchBltMode(screen.get(), COLORONCOLOR);
    if (!StretchBlt(screen.get(), 0, 0, width, height, source.get(), 0, 0, picture.width(),
                    picture.height(), SRCCOPY)) {
      return false;
    }
    GdiFlush();
  }
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  const std::uint32_t key = pixels[0];
  const auto transparent = [key](std::uint32_t pixel) {
    for (int shift = 0; shift <= 16; shift += 8) {
      const int a = static_cast<int>((pixel >> shift) & 0xFF);
      const int b = static_cast<int>((key >> shift) & 0xFF);
      if (a - b > 3 || b - a > 3) {
        return false;
      }
    }
    return true;
  };
  bool ok = true;
  for (int y = 0; y < height && ok; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
    int x = 0;
    while (x < width && ok) {
      if (!transparent(row[x])) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < width && transparent(row[x])) {
        ++x;
      }
      ok = Subtract(regions.window.get(), RECT{start, y, x, y + 1}) &&
           Subtract(regions.outer.get(), RECT{start - 1, y - 1, x + 1, y + 2}) &&
           Subtract(regions.inner.get(), RECT{start - 2, y - 2, x + 2, y + 3});
    }
  }
  return ok;
}

}  // namespace

QxRegions BuildRegions(const qxButtons_H& model, int width, int height, const OlePicture* picture) {
  QxRegions regions;
  const int shape = model.ButtonShape();
  if (shape >= 7) {
    if (picture == nullptr || picture->kind() != PictureKind::kBitmap || picture->width() <= 0) {
      return regions;
    }
    regions.window.Reset(CreateRectRgn(0, 0, width, height));
    regions.outer.Reset(CreateRectRgn(0, 0, width, height));
    regions.inner.Reset(CreateRectRgn(0, 0, width, height));
    if (!regions.window || !regions.outer || !regions.inner ||
        !CutTransparentRuns(regions, *picture, width, height)) {
      return QxRegions{};
    }
    return regions;
  }
  if (shape >= 4) {
    regions.window.Reset(CreateEllipticRgn(0, 0, width, height));
    regions.outer.Reset(CreateEllipticRgn(1, 1, width - 1, height - 1));
    regions.inner.Reset(CreateEllipticRgn(2, 2, width - 2, height - 2));
    if (!regions.window || !regions.outer || !regions.inner) {
      return QxRegions{};
    }
    return regions;
  }
  if (shape == 0) {
    regions.window.Reset(CreateRectRgn(0, 0, width + 1, height + 1));
  } else {
    const auto outline = DiagonalOutline(shape, width, height);
    POINT points[4];
    for (std::size_t i = 0; i < 4; ++i) {
      points[i] = {outline[i].x, outline[i].y};
    }
    regions.window.Reset(CreatePolygonRgn(points, 4, WINDING));
  }
  if (!regions.window) {
    return regions;
  }
  const CornerCuts cuts = CornerCutsOf(shape, model.ButtonStyle(), model.Enabled(), width, height);
  bool ok = true;
  for (const PixelPoint& pixel : cuts.pixels) {
    ok = Subtract(regions.window.get(), RECT{pixel.x, pixel.y, pixel.x + 1, pixel.y + 1}) && ok;
  }
  for (const auto& triangle : cuts.triangles) {
    const POINT points[3] = {{triangle[0].x, triangle[0].y},
                             {triangle[1].x, triangle[1].y},
                             {triangle[2].x, triangle[2].y}};
    ScopedRegion corner(CreatePolygonRgn(points, 3, WINDING));
    ok = corner &&
         CombineRgn(regions.window.get(), regions.window.get(), corner.get(), RGN_DIFF) != ERROR &&
         ok;
  }
  if (!ok) {
    regions.window.Reset();
  }
  return regions;
}

bool PaintQxButton(const qxButtons_H& model, const QxPaintInput& input) {
  if (input.dc == nullptr || input.width <= 0 || input.height <= 0) {
    return false;
  }
  Pass pass(model, input);
  const bool ok = pass.Run();
  SelectClipRgn(input.dc, nullptr);
  return ok;
}

PixelPoint MeasureCaption(HDC dc, HFONT font, const std::wstring& text, int maxWidth,
                          int maxHeight) {
  SelectedObject selected(
      dc, font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  RECT extent{0, 0, std::max(maxWidth, 1), std::max(maxHeight, 1)};
  if (DrawTextW(dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_WORDBREAK) == 0) {
    return {0, 0};
  }
  return {extent.right - extent.left, extent.bottom - extent.top};
}

}  // namespace svctune::win
