#include "movebar_model.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

namespace svctune::lamina {

namespace {

constexpr double kButtonSize = 210;
constexpr double kButtonTop = 30;
constexpr double kTitleLeft = 240;

std::int32_t ColourValue(OleColour colour) {
  return static_cast<std::int32_t>(colour);
}

}  // namespace

MoveBarModel::MoveBarModel(scene::TextMeasurer measure, WindowSystem& windows,
                           std::function<void(std::wstring_view)> propertyChanged)
    : scene_(std::move(measure)), windows_(windows), propertyChanged_(std::move(propertyChanged)) {
  for (const wchar_t* glyph : {L"\uFF5E", kMaximiseGlyph, L"\u25A1"}) {
    const std::size_t button = scene_.AddLabel();
    scene_.SetCaption(button, glyph);
    scene_.Move(button, 0, kButtonTop, kButtonSize, kButtonSize);
    scene_.SetOpaque(button, true);
    scene_.SetBackColour(button, kBarButtonFace);
    scene_.SetForeColour(button, kBarButtonText);
    scene_.SetBorder(button, true);
    scene_.SetAlignment(button, scene::Alignment::kLeft);
  }
  const std::size_t title = scene_.AddLabel();
  scene_.SetOpaque(title, false);
  scene_.SetForeColour(title, kMoveBarDefaultFore);
  scene_.SetAutoSize(title, true);
  scene_.SetCaption(title, L"Caption");
  scene_.Move(title, kTitleLeft, kButtonTop);
  scene_.SetMouseHandler(this);
  Layout();
}

void MoveBarModel::Changed(std::wstring_view name) {
  if (propertyChanged_) {
    propertyChanged_(name);
  }
}

void MoveBarModel::Resize(int widthTwips, int heightTwips) {
  width_ = widthTwips;
  height_ = heightTwips;
  Layout();
}

// The layout step: a fixed height, a smallest width, the buttons at the right end. A width
// that does not fit the 16-bit arithmetic ends the step where it stands.
void MoveBarModel::Layout() {
  height_ = kHeight;
  width_ = std::max(width_, kMinimumWidth);
  if (sizeRequested_) {
    sizeRequested_(width_, height_);
  }
  if (width_ > std::numeric_limits<std::int16_t>::max()) {
    return;
  }
  const double w = width_;
  const double lefts[] = {w - 720, w - 480, w - 240};
  for (std::size_t i = kMinimise; i <= kClose; ++i) {
    scene_.Move(i, lefts[i], kButtonTop);
  }
  CentreTitle();
}

void MoveBarModel::CentreTitle() {
  const scene::Rect& title = scene_.at(kTitle).bounds;
  scene_.Move(kTitle, title.left, static_cast<float>(height_ - title.height) / 2.0f);
}

void MoveBarModel::InitProperties(const scene::AmbientInfo& ambient) {
  scene_.SetFont(kTitle, ambient.font);
  scene_.SetCaption(kTitle, ambient.displayName);
  CentreTitle();
}

void MoveBarModel::ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient) {
  backColour_ = static_cast<OleColour>(
      bag.Read<std::int32_t>(L"BackColor", ColourValue(kMoveBarDefaultBack)));
  scene_.SetForeColour(kTitle, static_cast<OleColour>(bag.Read<std::int32_t>(
                                   L"ForeColor", ColourValue(kMoveBarDefaultFore))));
  scene_.SetFont(kTitle, bag.Read<FontSpec>(L"Font", ambient.font));
  scene_.SetVisible(kMinimise, bag.Read<bool>(L"Minimize", true));
  scene_.SetVisible(kMaximise, bag.Read<bool>(L"Maximum", true));
  scene_.SetVisible(kClose, bag.Read<bool>(L"NorClose", true));
  enabled_ = bag.Read<bool>(L"Enabled", true);
  scene_.SetCaption(kTitle, bag.Read<std::wstring>(L"Caption", ambient.displayName));
  CentreTitle();
}

void MoveBarModel::WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) const {
  bag.Write<std::int32_t>(L"BackColor", ColourValue(backColour_), ColourValue(kMoveBarDefaultBack));
  bag.Write<std::int32_t>(L"ForeColor", ColourValue(ForeColor()), ColourValue(kMoveBarDefaultFore));
  bag.Write<FontSpec>(L"Font", Font(), ambient.font);
  bag.Write<bool>(L"Minimize", Minimize(), true);
  bag.Write<bool>(L"Maximum", Maximum(), true);
  bag.Write<bool>(L"NorClose", NorClose(), true);
  bag.Write<bool>(L"Enabled", enabled_, true);
  bag.Write<std::wstring>(L"Caption", Caption(), ambient.displayName);
}

void MoveBarModel::SetBackColor(OleColour colour) {
  backColour_ = colour;
  Changed(L"BackColor");
}

void MoveBarModel::SetForeColor(OleColour colour) {
  scene_.SetForeColour(kTitle, colour);
  Changed(L"ForeColor");
}

void MoveBarModel::SetFont(const FontSpec& font) {
  scene_.SetFont(kTitle, font);
  Changed(L"Font");
  CentreTitle();
}

void MoveBarModel::SetButtonVisible(std::size_t id, bool visible, std::wstring_view name) {
  scene_.SetVisible(id, visible);
  Changed(name);
}

void MoveBarModel::SetMinimize(bool visible) {
  SetButtonVisible(kMinimise, visible, L"Minimize");
}

void MoveBarModel::SetMaximum(bool visible) {
  SetButtonVisible(kMaximise, visible, L"Maximum");
}

void MoveBarModel::SetNorClose(bool visible) {
  SetButtonVisible(kClose, visible, L"NorClose");
}

void MoveBarModel::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Changed(L"Enabled");
}

void MoveBarModel::SetCaption(const std::wstring& caption) {
  scene_.SetCaption(kTitle, caption);
  Changed(L"Caption");
}

void MoveBarModel::Show() {
  windows_.SetTitle(windows_.HolderWindow(), Caption());
}

void MoveBarModel::MouseDown(short button, short shift, double x, double y) {
  if (!enabled_ || dragging_) {
    return;
  }
  const std::optional<std::size_t> hit = scene_.HitTest(x, y);
  if (!hit || (*hit == kTitle && button == scene::kLeftButton)) {
    Drag();
    return;
  }
  if (*hit != kTitle) {
    scene_.MouseDown(button, shift, x, y);
  }
}

// A release ends a drag wherever it lands on the bar, so that a drag can never outlive the
// press that began it; otherwise it goes to the button that was pressed.
void MoveBarModel::MouseUp(short button, short shift, double x, double y) {
  if (!enabled_) {
    return;
  }
  if (dragging_) {
    dragging_ = false;
    return;
  }
  scene_.MouseUp(button, shift, x, y);
}

void MoveBarModel::Drag() {
  targetWindow_ = windows_.HolderWindow();
  const std::optional<ScreenRect> window = windows_.WindowRect(targetWindow_);
  const std::optional<ScreenPoint> pointer = windows_.CursorPos();
  if (!window || !pointer) {
    return;
  }
  grabX_ = pointer->x - window->left;
  grabY_ = pointer->y - window->top;
  dragging_ = true;
  while (dragging_) {
    if (!windows_.PumpOnce()) {
      dragging_ = false;
      break;
    }
    const std::optional<ScreenPoint> now = windows_.CursorPos();
    if (now) {
      windows_.MoveWindow(targetWindow_, now->x - grabX_, now->y - grabY_);
    }
  }
}

void MoveBarModel::LabelMouse(std::size_t id, scene::MouseAction action, short button, short, float,
                              float) {
  if (id > kClose) {
    return;
  }
  if (action == scene::MouseAction::kDown) {
    scene_.SetBackColour(id, kBarButtonPressedFace);
    scene_.SetForeColour(id, kBarButtonPressedText);
    return;
  }
  if (action != scene::MouseAction::kUp || button != scene::kLeftButton) {
    return;
  }
  scene_.SetBackColour(id, kBarButtonFace);
  scene_.SetForeColour(id, kBarButtonText);
  targetWindow_ = windows_.HolderWindow();
  if (id == kMinimise) {
    windows_.ShowWindow(targetWindow_, kShowMinimized);
  } else if (id == kMaximise) {
    if (scene_.at(kMaximise).caption == kMaximiseGlyph) {
      Maximise(targetWindow_);
      scene_.SetCaption(kMaximise, kRestoreGlyph);
    } else {
      windows_.ShowWindow(targetWindow_, kShowRestore);
      scene_.SetCaption(kMaximise, kMaximiseGlyph);
    }
  } else {
    windows_.Close(targetWindow_);
  }
}

void MoveBarModel::Maximise(WindowHandle window) {
  windows_.ShowWindow(window, kShowMaximized);
  FitToWorkArea(window);
}

// A maximised window leaves the taskbar uncovered. Without a taskbar the system's own
// maximised placement stays.
void MoveBarModel::FitToWorkArea(WindowHandle window) {
  const std::optional<ScreenRect> desktop = windows_.DesktopRect();
  const std::optional<ScreenRect> taskbar = windows_.TaskbarRect();
  if (!desktop || !taskbar) {
    return;
  }
  const int taskbarWidth = std::abs(taskbar->right) - std::abs(taskbar->left);
  const int taskbarHeight = std::abs(taskbar->bottom) - std::abs(taskbar->top);
  if (taskbarHeight > std::numeric_limits<std::int16_t>::max()) {
    return;
  }
  if (desktop->right == taskbarWidth) {
    if (taskbar->top == -2) {
      windows_.PlaceWindow(window, 0, taskbarHeight + 1, taskbarWidth,
                           desktop->bottom - taskbarHeight);
    } else {
      windows_.PlaceWindow(window, 0, 0, taskbarWidth, desktop->bottom - taskbarHeight + 2);
    }
  } else if (taskbar->left == -2) {
    windows_.PlaceWindow(window, taskbarWidth + 1, 0, desktop->right - taskbarWidth, taskbarHeight);
  } else {
    windows_.PlaceWindow(window, 0, 0, desktop->right - taskbarWidth + 2, taskbarHeight);
  }
}

}  // namespace svctune::lamina
