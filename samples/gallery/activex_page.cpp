#include "activex_page.h"

#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "win/control_container.h"

namespace svctune::gallery {

namespace {

using host::ControlContainer;
using host::ControlSettings;
using host::EventArgs;
using host::HostedControl;

// An event argument: its name and whether it is a 16-bit integer or a single.
struct Argument {
  const wchar_t* name;
  bool isFloat;
};
struct EventDescription {
  const wchar_t* name;
  std::vector<Argument> arguments;
};

const std::vector<Argument> kMouseArguments{
    {L"Button", false}, {L"Shift", false}, {L"X", true}, {L"Y", true}};
const std::vector<Argument> kKeyArguments{{L"KeyCode", false}, {L"Shift", false}};
const std::vector<Argument> kKeyPressArguments{{L"KeyAscii", false}};

// The events of every class the gallery places, as their libraries declare them.
const std::map<std::wstring, std::vector<EventDescription>>& EventsByClass() {
  static const std::map<std::wstring, std::vector<EventDescription>> events{
      {L"Lamina.Button",
       {{L"Click", {}},
        {L"MouseUp", kMouseArguments},
        {L"MouseDown", kMouseArguments},
        {L"MouseMove", kMouseArguments},
        {L"KeyUp", kKeyArguments},
        {L"KeyDown", kKeyArguments},
        {L"KeyPress", kKeyPressArguments}}},
      {L"Lamina.Progress", {{L"Progress", {{L"Value", false}}}}},
      {L"Lamina.Vscroll", {{L"Change", {}}}},
      {L"Lamina.Hscroll", {{L"Change", {}}}},
      {L"Lamina.ComBox",
       {{L"Change", {}},
        {L"Click", {}},
        {L"KeyDown", kKeyArguments},
        {L"KeyPress", kKeyPressArguments},
        {L"KeyUp", kKeyArguments}}},
      {L"Lamina.MoveBar", {}},
      {L"Vellum.CorvidForm",
       {{L"UnloadClick", {}},
        {L"Click", {}},
        {L"DblClick", {}},
        {L"MouseMove", kMouseArguments},
        {L"MouseUp", kMouseArguments},
        {L"MouseDown", kMouseArguments}}},
  };
  return events;
}

std::wstring Describe(const std::wstring& control, const EventDescription& event,
                      const EventArgs& args) {
  std::wstring line = control + L"." + event.name + L"(";
  for (unsigned i = 0; i < event.arguments.size() && i < args.Count(); ++i) {
    const Argument& argument = event.arguments[i];
    wchar_t value[32];
    if (argument.isFloat) {
      std::swprintf(value, 32, L"%g", static_cast<double>(args.Float(i)));
    } else {
      std::swprintf(value, 32, L"%d", static_cast<int>(args.Short(i)));
    }
    line += (i == 0 ? L"" : L", ") + std::wstring(argument.name) + L"=" + value;
  }
  return line + L")";
}

// One control to place: its class, instance name, place (pixels of the page), stored settings
// and what to do with it once it is shown.
struct Placement {
  const wchar_t* progId;
  const wchar_t* name;
  RECT rect;
  PropertyBag bag;
  std::function<void(HostedControl&)> setUp;
};

class ActiveXPage final : public PageContents {
 public:
  explicit ActiveXPage(HWND page) : container_(page) {}
  ControlContainer& Container() { return container_; }

 private:
  ControlContainer container_;
};

PropertyBag Bag(std::initializer_list<std::pair<const wchar_t*, PropertyValue>> values) {
  PropertyBag bag;
  for (const auto& [key, value] : values) {
    bag.Put(key, value);
  }
  return bag;
}

void AddItems(HostedControl& combo, std::initializer_list<const wchar_t*> items) {
  for (const wchar_t* item : items) {
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(item);
    combo.Call(L"AddItem", {text});
    VariantClear(&text);
  }
}

HWND CreateActiveXPage(HINSTANCE instance, HWND parent, const RECT& area, const EventLogger& log,
                       std::vector<Placement> placements) {
  HWND page = CreatePageWindow(instance, parent, area);
  if (page == nullptr) {
    return nullptr;
  }
  auto contents = std::make_unique<ActiveXPage>(page);
  for (Placement& placement : placements) {
    ControlSettings settings;
    settings.progId = placement.progId;
    settings.name = placement.name;
    settings.bag = placement.bag;
    std::wstring error;
    HostedControl* control = contents->Container().Create(settings, placement.rect, &error);
    if (control == nullptr) {
      // A library that is not registered leaves its place to a note saying so.
      const RECT& r = placement.rect;
      CreateWindowExW(0, L"STATIC", (std::wstring(placement.progId) + L": " + error).c_str(),
                      WS_CHILD | WS_VISIBLE | SS_LEFT, r.left, r.top, r.right - r.left,
                      r.bottom - r.top, page, nullptr, instance, nullptr);
      continue;
    }
    const auto found = EventsByClass().find(placement.progId);
    if (found != EventsByClass().end()) {
      for (const EventDescription& event : found->second) {
        const std::wstring name = placement.name;
        control->On(event.name,
                    [log, name, event](EventArgs& args) { log(Describe(name, event, args)); });
      }
    }
    if (placement.setUp) {
      placement.setUp(*control);
    }
  }
  AttachPageContents(page, std::move(contents));
  return page;
}

}  // namespace

HWND CreateLaminaPage(HINSTANCE instance, HWND parent, const RECT& area, EventLogger log) {
  std::vector<Placement> placements;
  placements.push_back({L"Lamina.Button",
                        L"Button1",
                        {20, 20, 120, 52},
                        Bag({{L"Caption", std::wstring(L"确定")}}),
                        {}});
  placements.push_back({L"Lamina.Button",
                        L"Button2",
                        {140, 20, 240, 52},
                        Bag({{L"Caption", std::wstring(L"Cancel")},
                             {L"FocusBack", std::int32_t{0x80FF80}},
                             {L"UnFocusBack", std::int32_t{0xFFE0C0}},
                             {L"UnFocusFore", std::int32_t{0x800000}}}),
                        {}});
  placements.push_back({L"Lamina.Progress",
                        L"Progress1",
                        {280, 20, 480, 44},
                        Bag({{L"Value", std::int32_t{40}}}),
                        {}});
  placements.push_back({L"Lamina.Progress",
                        L"Progress2",
                        {500, 20, 524, 140},
                        Bag({{L"Vertical", true},
                             {L"Value", std::int32_t{70}},
                             {L"FillColor", std::int32_t{0x80C080}}}),
                        {}});
  placements.push_back({L"Lamina.Vscroll", L"Vscroll1", {560, 20, 577, 160}, PropertyBag{}, {}});
  placements.push_back({L"Lamina.Vscroll",
                        L"Vscroll2",
                        {600, 20, 617, 160},
                        Bag({{L"Max", std::int32_t{10}}, {L"MoveValue", std::int32_t{3}}}),
                        {}});
  placements.push_back({L"Lamina.Hscroll", L"Hscroll1", {20, 80, 240, 97}, PropertyBag{}, {}});
  placements.push_back({L"Lamina.Hscroll",
                        L"Hscroll2",
                        {20, 115, 240, 132},
                        Bag({{L"Min", std::int32_t{-50}},
                             {L"Max", std::int32_t{50}},
                             {L"BackColor", std::int32_t{0xF0F0F0}}}),
                        {}});
  placements.push_back(
      {L"Lamina.ComBox", L"ComBox1", {20, 170, 200, 189}, PropertyBag{}, [](HostedControl& combo) {
         AddItems(combo, {L"自动", L"手动", L"禁用"});
       }});
  placements.push_back({L"Lamina.ComBox",
                        L"ComBox2",
                        {240, 170, 420, 189},
                        Bag({{L"Locked", true},
                             {L"BackColor", std::int32_t{0xE0FFFF}},
                             {L"Text", std::wstring(L"Locked")}}),
                        [](HostedControl& combo) {
                          AddItems(combo, {L"one", L"two", L"three", L"four", L"five", L"six",
                                           L"seven", L"eight", L"nine", L"ten"});
                        }});
  placements.push_back({L"Lamina.MoveBar",
                        L"MoveBar1",
                        {20, 320, 420, 338},
                        Bag({{L"Caption", std::wstring(L"控件画廊")}}),
                        {}});
  placements.push_back({L"Lamina.MoveBar",
                        L"MoveBar2",
                        {20, 350, 420, 368},
                        Bag({{L"Caption", std::wstring(L"Control gallery")},
                             {L"BackColor", std::int32_t{0xFFC080}},
                             {L"Minimize", false}}),
                        {}});
  return CreateActiveXPage(instance, parent, area, log, std::move(placements));
}

HWND CreateVellumPage(HINSTANCE instance, HWND parent, const RECT& area, EventLogger log) {
  std::vector<Placement> placements;
  placements.push_back({L"Vellum.CorvidForm",
                        L"CorvidForm1",
                        {20, 20, 360, 260},
                        Bag({{L"Caption", std::wstring(L"CorvidForm")}}),
                        {}});
  placements.push_back({L"Vellum.CorvidForm",
                        L"CorvidForm2",
                        {390, 20, 730, 260},
                        Bag({{L"Caption", std::wstring(L"窗体皮肤")}}),
                        {}});
  return CreateActiveXPage(instance, parent, area, log, std::move(placements));
}

}  // namespace svctune::gallery
