#pragma once

// What the owner-drawn button's model asks of its window, played by plain objects: the
// container's option-group store, pictures, and a site that records what the button did.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/qx_buttons_h.h"

namespace svctune::testing {

// Window properties of one container, as a map.
class MemoryGroupStore final : public OptionGroupStore {
 public:
  std::intptr_t Get(const std::wstring& key) const override {
    const auto found = values.find(key);
    return found == values.end() ? 0 : found->second;
  }
  bool Set(const std::wstring& key, std::intptr_t value) override {
    values[key] = value;
    return true;
  }
  void Remove(const std::wstring& key) override { values.erase(key); }
  std::map<std::wstring, std::intptr_t> values;
};

class FakePicture final : public ButtonPicture {
 public:
  FakePicture(PictureKind kind, std::wstring source) : kind_(kind), source_(std::move(source)) {}
  PictureKind kind() const override { return kind_; }
  int width() const override { return 32; }
  int height() const override { return 32; }
  const std::wstring& source() const override { return source_; }

 private:
  PictureKind kind_;
  std::wstring source_;
};

class FakeSite final : public qxButtons_HSite {
 public:
  explicit FakeSite(OptionGroupStore* group = nullptr) : group_(group) {}
  bool UserMode() const override { return userMode; }
  bool DisplayAsDefault() const override { return displayAsDefault; }
  OleColour AmbientBackColor() const override { return kButtonFace; }
  std::optional<FontSpec> AmbientFont() const override { return FontSpec{}; }
  std::wstring DisplayName() const override { return L"qxButton1"; }
  OleColour SystemColour(int index) const override { return index == 0x0F ? 0xD8E9EC : 0; }
  void ShowMessage(std::wstring_view text, std::wstring_view) override {
    messages.emplace_back(text);
  }
  bool PointerOverButton() const override { return pointerOver; }
  bool LeftButtonDown() const override { return leftButtonDown; }
  bool StartHoverTimer() override {
    ++timersStarted;
    timerRunning = true;
    return true;
  }
  void StopHoverTimer(std::uintptr_t id) override {
    stoppedTimer = id;
    timerRunning = false;
  }
  void CaptureMouse() override {}
  void ReleaseMouse() override {}
  void PostKeyToContainer(int keyCode, std::uint32_t keyData) override {
    posted.emplace_back(keyCode, keyData);
  }
  void Redraw() override { ++redraws; }
  void RebuildRegion() override {}
  void Resize() override { ++redraws; }
  OptionGroupStore* OptionGroup() override { return group_; }
  PicturePtr LoadPicture(const std::wstring& source) override {
    if (source.find(L".bmp") == std::wstring::npos) {
      return nullptr;
    }
    return std::make_shared<FakePicture>(PictureKind::kBitmap, source);
  }
  std::optional<std::wstring> ApplyMouseIcon(const PicturePtr&) override { return std::nullopt; }
  void ApplyMousePointer(std::int32_t pointer) override { appliedPointer = pointer; }

  bool userMode = true;
  bool displayAsDefault = false;
  bool pointerOver = false;
  bool leftButtonDown = false;
  bool timerRunning = false;
  std::uintptr_t stoppedTimer = 0;
  int timersStarted = 0;
  int redraws = 0;
  std::int32_t appliedPointer = 0;
  std::vector<std::wstring> messages;
  std::vector<std::pair<int, std::uint32_t>> posted;

 private:
  OptionGroupStore* group_;
};

// A button with a container, and so an option group, of its own.
struct ButtonInItsOwnContainer {
  explicit ButtonInItsOwnContainer(std::int32_t mode) : site(&group), button(site) {
    button.SetMode(mode);
  }
  MemoryGroupStore group;
  FakeSite site;
  qxButtons_H button;
};

// The pointer brought over the button (or over a window in front of it), then the left mouse
// button pressed on it when press is set.
inline void PointAndPress(qxButtons_H& button, FakeSite& site, bool over, bool press) {
  site.pointerOver = over;
  button.MouseMove(0, 0, 5, 5);
  if (press) {
    button.MouseDown(1, 0, 5, 5);
  }
}

}  // namespace svctune::testing
