#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/ambient_info.h"
#include "scene/scene.h"
#include "ui/colour.h"
#include "ui/property_bag.h"

namespace svctune::lamina {

// Events of the flat combo box; arguments are passed by reference and a handler may change them.
class ComBoxEvents {
 public:
  virtual ~ComBoxEvents() = default;
  virtual void Change() = 0;
  virtual void Click() = 0;
  virtual void KeyDown(short& keyCode, short& shift) = 0;
  virtual void KeyPress(short& keyAscii) = 0;
  virtual void KeyUp(short& keyCode, short& shift) = 0;
};

inline constexpr OleColour kComBoxDefaultBack = kWindowBackground;
inline constexpr OleColour kComBoxDefaultFore = kWindowText;
inline constexpr OleColour kDropFace = 0xE0E0E0;
inline constexpr OleColour kDropText = 0xFF0000;
inline constexpr OleColour kDropPressedFace = 0xFF8080;
inline constexpr OleColour kDropPressedText = 0xC0FFFF;

struct ComBoxItem {
  std::wstring text;
  std::int32_t data = 0;
};

// Outcome of the list's methods, so the view can tell its caller what went wrong.
enum class ListResult { kOk, kBadIndex, kFull };

// The flat combo box: the text box ComText, the drop button ComButton (a label of the surface)
// and the list box ComList shown below the text box. Opening the list makes the control itself
// taller. ComText and ComList are real windows of the view; the model holds their places,
// contents and looks. Lengths are twips.
class ComBoxModel : private scene::LabelMouseHandler {
 public:
  static constexpr std::size_t kComButton = 0;
  static constexpr int kMinimumWidth = 1000;
  static constexpr int kMaxVisibleItems = 8;

  // What the view must show again after the model changed it.
  enum class Aspect { kText, kSelection, kLayout, kLooks };

  ComBoxModel(scene::TextMeasurer measure, ComBoxEvents& events,
              std::function<void(std::wstring_view)> propertyChanged);

  const scene::Scene& Surface() const { return scene_; }
  scene::Scene& Surface() { return scene_; }
  void OnChanged(std::function<void(Aspect)> handler) { changed_ = std::move(handler); }
  // The control asks its host for a new size (twips).
  void OnSizeRequested(std::function<void(int, int)> handler) {
    sizeRequested_ = std::move(handler);
  }

  // Layout step for the host's size; nothing changes while the list is open.
  void Resize(int widthTwips, int heightTwips);
  int Width() const { return width_; }
  int Height() const { return height_; }
  const scene::Rect& ComText() const { return text_; }
  const scene::Rect& ComList() const { return list_; }
  bool ListOpen() const { return listOpen_; }

  void InitProperties(const scene::AmbientInfo& ambient);
  void ReadProperties(const PropertyBag& bag, const scene::AmbientInfo& ambient);
  void WriteProperties(PropertyBag& bag, const scene::AmbientInfo& ambient) const;

  OleColour BackColor() const { return backColour_; }
  void SetBackColor(OleColour colour);
  OleColour ForeColor() const { return foreColour_; }
  void SetForeColor(OleColour colour);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const FontSpec& Font() const { return font_; }
  void SetFont(const FontSpec& font);
  bool Locked() const { return locked_; }
  void SetLocked(bool locked);
  const std::wstring& Text() const { return textValue_; }
  void SetText(const std::wstring& text);
  std::int32_t MaxLength() const { return maxLength_; }
  void SetMaxLength(std::int32_t length);
  bool Sorted() const { return false; }

  // The list's items. Index -1 of AddItem means "at the end".
  const std::vector<ComBoxItem>& Items() const { return items_; }
  std::int16_t ListCount() const { return static_cast<std::int16_t>(items_.size()); }
  ListResult AddItem(const std::wstring& item, int index);
  ListResult RemoveItem(int index);
  void Clear();
  const std::wstring* List(int index) const;
  void SetList(int index, const std::wstring& item);
  std::int16_t ListIndex() const { return listIndex_; }
  void SetListIndex(int index);
  const std::int32_t* ItemData(int index) const;
  void SetItemData(int index, std::int32_t data);

  // Input from the view's windows.
  void MouseDown(short button, short shift, double x, double y);
  void MouseUp(short button, short shift, double x, double y);
  void TextEdited(const std::wstring& text);
  void TextClicked();
  void ListChosen(int index);
  void FocusLeft();
  void KeyDown(short keyCode, short shift);
  void KeyPress(short keyAscii);
  void KeyUp(short keyCode, short shift);

 private:
  void LabelMouse(std::size_t id, scene::MouseAction action, short button, short shift, float x,
                  float y) override;
  void LabelClick(std::size_t) override {}
  void Layout();
  void SetFontOnly(const FontSpec& font);
  void ApplyText(const std::wstring& text);
  void OpenList();
  void CloseList();
  void Choose(int index);
  double TextHeight() const;
  bool ValidIndex(int index) const { return index >= 0 && index < static_cast<int>(items_.size()); }
  void Notify(Aspect aspect);
  void Changed(std::wstring_view name);
  void RequestSize(int width, int height);

  scene::Scene scene_;
  ComBoxEvents& events_;
  std::function<void(std::wstring_view)> propertyChanged_;
  std::function<void(Aspect)> changed_;
  std::function<void(int, int)> sizeRequested_;
  int width_ = 0;
  int height_ = 0;
  scene::Rect text_{0, 0, 1695, 270};
  scene::Rect list_{0, 240, 2055, 930};
  bool listOpen_ = false;
  OleColour backColour_ = kComBoxDefaultBack;
  OleColour foreColour_ = kComBoxDefaultFore;
  bool enabled_ = true;
  FontSpec font_;
  bool locked_ = false;
  std::wstring textValue_ = L"List";
  std::int32_t maxLength_ = 0;
  std::vector<ComBoxItem> items_;
  std::int16_t listIndex_ = -1;
};

}  // namespace svctune::lamina
