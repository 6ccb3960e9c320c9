#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "scene/ambient_info.h"
#include "screen_types.h"
#include "scene/scene.h"
#include "ui/colour.h"
#include "ui/property_bag.h"

namespace svctune::lamina {

// Events of the flat button; arguments are passed by reference and a handler may change them.
class ButtonEvents {
 public:
  virtual ~ButtonEvents() = default;
  virtual void Click() = 0;
  virtual void MouseUp(short& button, short& shift, float& x, float& y) = 0;
  virtual void MouseDown(short& button, short& shift, float& x, float& y) = 0;
  virtual void MouseMove(short& button, short& shift, float& x, float& y) = 0;
  virtual void KeyUp(short& keyCode, short& shift) = 0;
  virtual void KeyDown(short& keyCode, short& shift) = 0;
  virtual void KeyPress(short& keyAscii) = 0;
};

inline constexpr OleColour kButtonSurfaceColour = 0xE0E0E0;
inline constexpr OleColour kDefaultFocusFore = 0x80FFFF;
inline constexpr OleColour kDefaultFocusBack = 0xFF8080;
inline constexpr OleColour kDefaultUnFocusFore = 0xFF0000;
inline constexpr OleColour kDefaultUnFocusBack = 0xE0E0E0;
inline constexpr short kEnterKey = 13;

// The flat button: a face label wBACK(0) and a caption label wBACK(1) on a grey surface, moved
// and recoloured to show the pressed and hover looks, and the timer timeOK that watches the
// pointer while it is over the button. Lengths are twips.
class ButtonModel : private scene::LabelMouseHandler {
 public:
  static constexpr std::size_t kFace = 0;
  static constexpr std::size_t kCaption = 1;

  ButtonModel(scene::TextMeasurer measure, ButtonEvents& events,
              std::function<void(std::wstring_view)> propertyChanged);

  const scene::Scene& wBACK() const { return scene_; }
  scene::Scene& Surface() { return scene_; }
  OleColour SurfaceColour() const { return kButtonSurfaceColour; }

  // Layout step: false when the size does not fit the 16-bit fields or leaves the face no room
  // beside the strips (nothing changes then).
  bool Resize(int widthTwips, int heightTwips);

  void InitProperties(const scene::AmbientInfo& ambient);
  void ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient);
  void WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) const;

  const std::wstring& Caption() const { return scene_.at(kCaption).caption; }
  void SetCaption(const std::wstring& caption);
  const FontSpec& Font() const { return scene_.at(kCaption).font; }
  void SetFont(const FontSpec& font);
  OleColour FocusFore() const { return focusFore_; }
  void SetFocusFore(OleColour colour);
  OleColour FocusBack() const { return scene_.at(kFace).foreColour; }
  void SetFocusBack(OleColour colour);
  OleColour UnFocusFore() const { return normalFore_; }
  void SetUnFocusFore(OleColour colour);
  OleColour UnFocusBack() const { return normalBack_; }
  void SetUnFocusBack(OleColour colour);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Input of the control's window (the surface, in twips). A disabled button ignores it.
  void MouseDown(short button, short shift, double x, double y);
  void MouseMove(short button, short shift, double x, double y);
  void MouseUp(short button, short shift, double x, double y);
  void KeyDown(short keyCode, short shift);
  void KeyUp(short keyCode, short shift);
  void KeyPress(short keyAscii);

  // timeOK: the view runs HoverTick with the window rectangle and the pointer while enabled.
  bool TimerEnabled() const { return timerEnabled_; }
  void OnTimerSwitched(std::function<void(bool)> handler) { timerSwitched_ = std::move(handler); }
  void HoverTick(const ScreenRect& window, const ScreenPoint& pointer);

  bool Pressed() const { return pressed_; }
  bool Hovered() const { return hovered_; }
  bool KeyPressed() const { return keyPressed_; }
  std::int16_t StoredWidth() const { return storedWidth_; }
  std::int16_t StoredHeight() const { return storedHeight_; }

 private:
  void LabelMouse(std::size_t id, scene::MouseAction action, short button, short shift, float x,
                  float y) override;
  void LabelClick(std::size_t) override {}
  void CentreCaption();
  void ShowPressed();
  void ShowReleased();
  void SetTimer(bool enabled);
  void Changed(std::wstring_view name);

  scene::Scene scene_;
  ButtonEvents& events_;
  std::function<void(std::wstring_view)> propertyChanged_;
  std::function<void(bool)> timerSwitched_;
  std::int16_t storedWidth_ = 0;
  std::int16_t storedHeight_ = 0;
  OleColour focusFore_ = kDefaultFocusFore;
  OleColour normalFore_ = kDefaultUnFocusFore;
  OleColour normalBack_ = kDefaultUnFocusBack;
  bool enabled_ = true;
  bool keyPressed_ = false;
  bool pressed_ = false;
  bool hovered_ = false;
  bool timerEnabled_ = false;
};

}  // namespace svctune::lamina
