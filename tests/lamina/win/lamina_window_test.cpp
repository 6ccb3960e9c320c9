// The combo box and the move bar in a window: their child windows, looks, keys, events and
// the windows they act on, and the members and events their type information publishes.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "com/variant.h"
#include "com_test_support.h"
#include "win/control_container.h"

namespace svctune::lamina {
namespace {

using host::ControlContainer;
using host::ControlSettings;
using host::EventArgs;
using host::HostedControl;
using testing::DeclaredMembers;
using testing::HostWindow;
using testing::OleApartment;
using testing::PumpMessages;
using testing::ScreenPixel;
using testing::TypeMember;

int Height(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

HWND Child(HWND control, const wchar_t* windowClass) {
  return FindWindowExW(control, nullptr, windowClass, nullptr);
}

void Click(HWND window, int x, int y) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

class ComBoxWindowTest : public ::testing::Test {
 protected:
  ComBoxWindowTest() : host(320, 240), container(host.get()) {
    ControlSettings settings;
    settings.progId = L"Lamina.ComBox";
    settings.name = L"Combo1";
    combo = container.Create(settings, RECT{10, 10, 143, 29});
    if (combo != nullptr) {
      for (const wchar_t* item : {L"一", L"二", L"三"}) {
        VARIANT text;
        text.vt = VT_BSTR;
        text.bstrVal = SysAllocString(item);
        combo->Call(L"AddItem", {text});
        VariantClear(&text);
      }
      combo->On(L"Change", [this](EventArgs&) { events.push_back(L"Change"); });
      combo->On(L"Click", [this](EventArgs&) { events.push_back(L"Click"); });
      combo->On(L"KeyDown", [this](EventArgs& args) {
        events.push_back(L"KeyDown" + std::to_wstring(args.Short(0)));
        args.SetShort(0, 0);
      });
    }
  }

  OleApartment apartment;
  HostWindow host;
  ControlContainer container;
  HostedControl* combo = nullptr;
  std::vector<std::wstring> events;
};

TEST_F(ComBoxWindowTest, DropButtonGrowsTheControlAndChoosingAnItemShrinksIt) {
  ASSERT_NE(combo, nullptr);
  const HWND window = combo->Window();
  const HWND list = Child(window, L"ListBox");
  ASSERT_NE(Child(window, L"Edit"), nullptr);
  ASSERT_NE(list, nullptr);
  PumpMessages(50);
  const int closed = Height(window);
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_EQ(ScreenPixel(window, 125, 9), RGB(0xE0, 0xE0, 0xE0));
  // The text box takes BackColor through the control's colour answer.
  ASSERT_EQ(combo->PutLong(L"BackColor", 0x00FFFF), S_OK);
  PumpMessages(20);
  EXPECT_EQ(ScreenPixel(Child(window, L"Edit"), 100, 8), RGB(0xFF, 0xFF, 0));

  Click(window, 125, 9);
  PumpMessages(50);
  // The list hangs below the text box and the control grows to hold it.
  EXPECT_GT(Height(window), closed + 20);
  EXPECT_TRUE(IsWindowVisible(list));
  RECT control{};
  RECT listRect{};
  GetWindowRect(window, &control);
  GetWindowRect(list, &listRect);
  EXPECT_NEAR(listRect.bottom, control.bottom, 1);  // the list starts 10 twips up
  EXPECT_EQ(ScreenPixel(window, 125, 9), RGB(0xE0, 0xE0, 0xE0));

  RECT item{};
  SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  Click(list, item.left + 5, item.top + 2);
  PumpMessages(50);
  EXPECT_EQ(combo->GetText(L"Text").value_or(L""), L"二");
  EXPECT_EQ(combo->GetLong(L"ListIndex").value_or(-2), 1);
  EXPECT_EQ(events, (std::vector<std::wstring>{L"Change", L"Click"}));
  EXPECT_EQ(Height(window), closed);
  EXPECT_FALSE(IsWindowVisible(list));
}

TEST_F(ComBoxWindowTest, TextBoxKeysReachTheSinkAndLeavingTheControlClosesTheList) {
  ASSERT_NE(combo, nullptr);
  const HWND window = combo->Window();
  const HWND edit = Child(window, L"Edit");
  SendMessageW(edit, WM_KEYDOWN, 'A', 0);
  SendMessageW(edit, WM_CHAR, 'a', 0);
  PumpMessages(20);
  EXPECT_EQ(events, (std::vector<std::wstring>{L"KeyDown65", L"Change"}));
  EXPECT_EQ(combo->GetText(L"Text").value_or(L""), L"aList");

  const int closed = Height(window);
  Click(window, 125, 9);
  SetFocus(edit);
  ASSERT_GT(Height(window), closed);
  SetFocus(host.get());
  PumpMessages(20);
  EXPECT_EQ(Height(window), closed);
}

// The pixel height of the font a child window draws with.
LONG FontHeight(HWND child) {
  LOGFONTW description{};
  const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0));
  return font != nullptr && GetObjectW(font, sizeof description, &description) != 0
             ? description.lfHeight
             : 0;
}

TEST_F(ComBoxWindowTest, AFontChangedThroughTheHandedOutObjectReachesTheChildWindows) {
  ASSERT_NE(combo, nullptr);
  const HWND window = combo->Window();
  com::Variant value;
  ASSERT_EQ(combo->Get(L"Font", value), S_OK);
  ASSERT_EQ(value->vt, VT_DISPATCH);
  com::ComPtr<IFont> font = com::ComPtr<IDispatch>(value->pdispVal).As<IFont>(IID_IFont);
  ASSERT_TRUE(font);
  CY twelve{};
  twelve.int64 = 120000;
  ASSERT_EQ(font->put_Size(twelve), S_OK);
  PumpMessages(20);
  EXPECT_EQ(FontHeight(Child(window, L"Edit")), -16);
  EXPECT_EQ(FontHeight(Child(window, L"ListBox")), -16);
  EXPECT_EQ(Height(window), (12 * 15 + 135 + 15) / 15);
  EXPECT_TRUE(combo->Modified());
}

// Keys as IsDialogMessage sees them in a host's message loop; Shift held when asked.
void DialogKey(HWND dialog, WPARAM key, bool shift = false) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const BYTE before = keys[VK_SHIFT];
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  MSG down{GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
  if (!IsDialogMessageW(dialog, &down)) {
    TranslateMessage(&down);
    DispatchMessageW(&down);
  }
  keys[VK_SHIFT] = before;
  SetKeyboardState(keys);
}

TEST_F(ComBoxWindowTest, TabGoesIntoTheTextBoxAndOnOutOfTheControl) {
  ASSERT_NE(combo, nullptr);
  const HWND window = combo->Window();
  const HWND edit = Child(window, L"Edit");
  const HWND before = CreateWindowExW(0, L"Button", L"before", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                      160, 10, 60, 20, host.get(), nullptr, nullptr, nullptr);
  const HWND after = CreateWindowExW(0, L"Button", L"after", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                     160, 40, 60, 20, host.get(), nullptr, nullptr, nullptr);
  ASSERT_TRUE(before != nullptr && after != nullptr);
  SetWindowPos(before, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetFocus(before);
  DialogKey(host.get(), VK_TAB);
  EXPECT_EQ(GetFocus(), edit);
  // Leaving with the list open closes it.
  const int closed = Height(window);
  Click(window, 125, 9);
  ASSERT_GT(Height(window), closed);
  DialogKey(host.get(), VK_TAB);
  EXPECT_EQ(GetFocus(), after);
  EXPECT_EQ(Height(window), closed);
  DialogKey(host.get(), VK_TAB, true);
  EXPECT_EQ(GetFocus(), edit);
  DialogKey(host.get(), VK_TAB, true);
  EXPECT_EQ(GetFocus(), before);
  DestroyWindow(before);
  DestroyWindow(after);
}

TEST_F(ComBoxWindowTest, LockedMaxLengthAndEnabledReachTheTextBox) {
  ASSERT_NE(combo, nullptr);
  const HWND window = combo->Window();
  const HWND edit = Child(window, L"Edit");
  const HWND list = Child(window, L"ListBox");
  const auto readOnly = [edit] { return (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0; };
  EXPECT_FALSE(readOnly());
  ASSERT_EQ(combo->PutLong(L"Locked", -1), S_OK);
  EXPECT_TRUE(readOnly());
  ASSERT_EQ(combo->PutLong(L"Locked", 0), S_OK);
  EXPECT_FALSE(readOnly());

  ASSERT_EQ(combo->PutLong(L"MaxLength", 6), S_OK);
  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 6);
  SetFocus(edit);
  for (const wchar_t c : std::wstring(L"abcdef")) {
    SendMessageW(edit, WM_CHAR, c, 1);
  }
  EXPECT_EQ(GetWindowTextLengthW(edit), 6);  // "List" and two more

  // Disabled, the control takes no input: its window is disabled, its text box gives up the
  // focus it had and turns read-only (it stays enabled, to keep ForeColor), and keys that still
  // reach the text box raise no events and change nothing.
  events.clear();
  ASSERT_EQ(combo->PutLong(L"Enabled", 0), S_OK);
  EXPECT_FALSE(IsWindowEnabled(window));
  EXPECT_TRUE(readOnly());
  EXPECT_FALSE(IsWindowEnabled(list));
  EXPECT_NE(GetFocus(), edit);
  SendMessageW(edit, WM_KEYDOWN, 'A', 0);
  SendMessageW(edit, WM_CHAR, 'a', 0);
  PumpMessages(20);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(GetWindowTextLengthW(edit), 6);
  ASSERT_EQ(combo->PutLong(L"Enabled", -1), S_OK);
  EXPECT_TRUE(IsWindowEnabled(window));
  EXPECT_FALSE(readOnly());
  EXPECT_TRUE(IsWindowEnabled(list));

  // Stored settings reach a new control's text box as well.
  ControlSettings stored;
  stored.progId = L"Lamina.ComBox";
  stored.name = L"Combo2";
  stored.bag.Put(L"locked", true);
  stored.bag.Put(L"maxlength", std::int32_t{3});
  stored.bag.Put(L"enabled", false);
  HostedControl* loaded = container.Create(stored, RECT{10, 60, 143, 79});
  ASSERT_NE(loaded, nullptr);
  const HWND loadedEdit = Child(loaded->Window(), L"Edit");
  EXPECT_NE(GetWindowLongPtrW(loadedEdit, GWL_STYLE) & ES_READONLY, 0);
  EXPECT_EQ(SendMessageW(loadedEdit, EM_GETLIMITTEXT, 0, 0), 3);
  EXPECT_FALSE(IsWindowEnabled(loaded->Window()));
}

// Of a window's pixels on screen, the one farthest from the background, as the nearest of the
// candidates.
COLORREF InkOf(HWND window, COLORREF background, const std::vector<COLORREF>& candidates) {
  UpdateWindow(window);
  RECT client{};
  GetClientRect(window, &client);
  const int width = client.right;
  const int height = client.bottom;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  auto distance = [](COLORREF a, COLORREF b) {
    const int r = GetRValue(a) - GetRValue(b);
    const int g = GetGValue(a) - GetGValue(b);
    const int bl = GetBValue(a) - GetBValue(b);
    return r * r + g * g + bl * bl;
  };
  COLORREF ink = background;
  const auto* pixels = static_cast<const DWORD*>(bits);
  for (int i = 0; bits != nullptr && i < width * height; ++i) {
    const COLORREF pixel = RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF);
    if (distance(pixel, background) > distance(ink, background)) {
      ink = pixel;
    }
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  COLORREF nearest = candidates.front();
  for (COLORREF candidate : candidates) {
    if (distance(ink, candidate) < distance(ink, nearest)) {
      nearest = candidate;
    }
  }
  return nearest;
}

// ForeColor is the text box's colour, disabled or not; a disabled edit control would
// draw it grey. No click reaches the text box and Tab passes the control by.
TEST_F(ComBoxWindowTest, ADisabledComBoxKeepsItsTextColourAndTakesNoInput) {
  ASSERT_NE(combo, nullptr);
  const HWND window = combo->Window();
  const HWND edit = Child(window, L"Edit");
  ASSERT_EQ(combo->PutLong(L"BackColor", 0xFFFFFF), S_OK);
  ASSERT_EQ(combo->PutLong(L"ForeColor", 0x0000FF), S_OK);  // red
  ASSERT_EQ(combo->PutText(L"Text", L"WWWW"), S_OK);
  const COLORREF red = RGB(0xFF, 0, 0);
  const std::vector<COLORREF> inks = {red, GetSysColor(COLOR_GRAYTEXT)};
  PumpMessages(20);
  EXPECT_EQ(InkOf(edit, RGB(0xFF, 0xFF, 0xFF), inks), red);
  ASSERT_EQ(combo->PutLong(L"Enabled", 0), S_OK);
  InvalidateRect(edit, nullptr, TRUE);
  PumpMessages(20);
  EXPECT_EQ(ScreenPixel(edit, 100, 8), RGB(0xFF, 0xFF, 0xFF)) << "BackColor stays";
  EXPECT_EQ(InkOf(edit, RGB(0xFF, 0xFF, 0xFF), inks), red);

  RECT rect{};
  GetWindowRect(edit, &rect);
  const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  EXPECT_NE(WindowFromPoint(centre), edit) << "a click does not reach the text box";
  const HWND before = CreateWindowExW(0, L"Button", L"before", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                      160, 10, 60, 20, host.get(), nullptr, nullptr, nullptr);
  ASSERT_NE(before, nullptr);
  SetWindowPos(before, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetFocus(before);
  DialogKey(host.get(), VK_TAB);
  EXPECT_NE(GetFocus(), edit);
  DestroyWindow(before);
}

// The members of a type in declaration order (a property's get and put counted once), with
// their ids, help texts and numbers of parameters; IDispatch's own members left out.
struct Member {
  std::wstring name;
  DISPID id;
  std::wstring help;
  SHORT parameters = 0;
  bool operator==(const Member& other) const {
    return name == other.name && id == other.id && help == other.help &&
           parameters == other.parameters;
  }
};

std::ostream& operator<<(std::ostream& out, const Member& member) {
  return out << std::string(member.name.begin(), member.name.end()) << " " << std::hex << member.id
             << std::dec << " (" << member.parameters << ")";
}

std::vector<Member> Declared(ITypeInfo* info) {
  std::vector<Member> members;
  for (const TypeMember& declared : DeclaredMembers(info)) {
    if (members.empty() || members.back().name != declared.name) {
      const SHORT parameters = declared.kind == INVOKE_FUNC ? declared.parameters : 0;
      members.push_back({declared.name, declared.id, declared.help, parameters});
    }
  }
  return members;
}

// The name of a type and its source (event) interface, found through the class information.
std::wstring TypeName(ITypeInfo* info) {
  com::Bstr name;
  if (info != nullptr) {
    info->GetDocumentation(MEMBERID_NIL, name.Receive(), nullptr, nullptr, nullptr);
  }
  return name.str();
}

com::ComPtr<ITypeInfo> EventInfo(IUnknown* object) {
  com::ComPtr<IProvideClassInfo> provider =
      com::ComPtr<IUnknown>(object).As<IProvideClassInfo>(IID_IProvideClassInfo);
  com::ComPtr<ITypeInfo> coclass;
  com::ComPtr<ITypeInfo> source;
  if (!provider || FAILED(provider->GetClassInfo(coclass.Receive()))) {
    return source;
  }
  for (UINT i = 0; i < 2; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    if (SUCCEEDED(coclass->GetImplTypeFlags(i, &flags)) && (flags & IMPLTYPEFLAG_FSOURCE) &&
        SUCCEEDED(coclass->GetRefTypeOfImplType(i, &reference))) {
      coclass->GetRefTypeInfo(reference, source.Receive());
    }
  }
  return source;
}

TEST(LaminaTypeInfo, ComBoxAndMoveBarPublishTheirMembersAndEvents) {
  OleApartment apartment;
  const struct {
    const wchar_t* progId;
    const wchar_t* interfaceName;
    std::vector<Member> members;
    const wchar_t* eventsName;
    std::vector<Member> events;
  } classes[] = {
      {L"Lamina.ComBox",
       L"_ComBox",
       {{L"BackColor", 0x6803000A, L"返回/设置对象中文本和图形的背景色。"},
        {L"ForeColor", 0x68030009, L"返回/设置对象中文本和图形的前景色。"},
        {L"Enabled", 0x68030008, L"返回/设置一个值，决定一个对象是否响应用户生成事件。"},
        {L"Font", DISPID_FONT, L"返回一个 Font 对象。"},
        {L"AddItem", 0x60030015, L"添加一项到 Combox 控件。", 2},
        {L"List", 0x68030007, L"返回/设置控件的列表部分中包含的项。"},
        {L"ListCount", 0x68030006, L"返回控件的列表部分中的项目数。"},
        {L"ListIndex", 0x68030005, L"返回/设置该控件中当前选定项目的索引。"},
        {L"Locked", 0x68030004, L"决定控件是否可编辑。"},
        {L"RemoveItem", 0x60030016, L"从一个 ComBox 控件中删除一项。", 1},
        {L"Text", 0x68030003, L"返回/设置控件中包含的文本。"},
        {L"Sorted", 0x68030002, L"指出控件元素是否自动按字母顺序排序。"},
        {L"Clear", 0x6003001A, L"清除控件或系统剪贴板的内容。", 0},
        {L"MaxLength", 0x68030001, L"返回/设置一个控件中可以输入的字符的最大数。"},
        {L"ItemData", 0x68030000, L"返回/设置 ComBox 每一个项的指定号。"}},
       L"__ComBox",
       {{L"Change", 1, L"当控件内容改变时发生。", 0},
        {L"Click", 2, L"当用户在一个对象上按下并释放鼠标按钮时发生。", 0},
        {L"KeyDown", 3, L"当用户在拥有焦点的对象上按下任意键时发生。", 2},
        {L"KeyPress", 4, L"当用户按下和释放 ANSI 键时发生。", 1},
        {L"KeyUp", 5, L"", 2}}},
      {L"Lamina.MoveBar",
       L"_MoveBar",
       {{L"BackColor", 0x68030006, L"返回/设置对象中文本和图形的背景色。"},
        {L"ForeColor", 0x68030005, L"返回/设置对象中文本和图形的前景色。"},
        {L"Font", DISPID_FONT, L"返回一个 Font 对象。"},
        {L"Minimize", 0x68030004, L""},
        {L"Maximum", 0x68030003, L""},
        {L"NorClose", 0x68030002, L""},
        {L"Enabled", 0x68030001, L""},
        {L"Caption", 0x68030000, L""}},
       L"__MoveBar",
       {}},
  };
  for (const auto& expected : classes) {
    SCOPED_TRACE(::testing::Message() << static_cast<int>(expected.progId[7]));
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(expected.progId, &clsid), S_OK);
    com::ComPtr<IDispatch> control;
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               control.ReceiveVoid()),
              S_OK);
    com::ComPtr<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Receive()), S_OK);
    EXPECT_EQ(TypeName(info.get()), expected.interfaceName);
    EXPECT_EQ(Declared(info.get()), expected.members);
    // A late-bound caller finds every member under its id, whatever the letter case.
    for (const Member& member : expected.members) {
      std::wstring lower = member.name;
      CharLowerW(&lower[0]);
      LPOLESTR names[] = {&lower[0]};
      DISPID id = DISPID_UNKNOWN;
      EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
      EXPECT_EQ(id, member.id) << member;
    }
    const com::ComPtr<ITypeInfo> events = EventInfo(control.get());
    ASSERT_TRUE(events);
    EXPECT_EQ(TypeName(events.get()), expected.eventsName);
    EXPECT_EQ(Declared(events.get()), expected.events);
  }
}

// Records WM_CLOSE instead of closing.
LRESULT CALLBACK CountCloses(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    SetPropW(window, L"closes",
             reinterpret_cast<HANDLE>(reinterpret_cast<INT_PTR>(GetPropW(window, L"closes")) + 1));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR Closes(HWND window) {
  return reinterpret_cast<INT_PTR>(GetPropW(window, L"closes"));
}

TEST(MoveBarWindowTest, LooksTitleAndCloseActOnTheHoldingWindowOnly) {
  OleApartment apartment;
  HostWindow holder(320, 120);
  HostWindow other(100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetWindowPos(other.get(), HWND_BOTTOM, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  for (HWND window : {holder.get(), other.get()}) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountCloses));
  }
  ControlContainer container(holder.get());
  ControlSettings settings;
  settings.progId = L"Lamina.MoveBar";
  settings.name = L"MoveBar1";
  HostedControl* bar = container.Create(settings, RECT{0, 0, 200, 40});
  ASSERT_NE(bar, nullptr);
  const HWND window = bar->Window();
  PumpMessages(50);
  EXPECT_EQ(Height(window), 18);
  wchar_t title[64] = {};
  GetWindowTextW(holder.get(), title, 64);
  EXPECT_STREQ(title, L"MoveBar1");

  EXPECT_EQ(ScreenPixel(window, 100, 2), RGB(0xFF, 0xC0, 0x80));  // BackColor 0x80C0FF
  EXPECT_EQ(ScreenPixel(window, 1, 1), RGB(0, 0, 0xFF));          // the window picture's edge
  EXPECT_EQ(ScreenPixel(window, 154, 3), RGB(0xE0, 0xE0, 0xE0));  // the minimise button

  ASSERT_EQ(bar->PutLong(L"BackColor", 0x00FF00), S_OK);
  PumpMessages(20);
  EXPECT_EQ(ScreenPixel(window, 100, 2), RGB(0, 0xFF, 0));

  // Another window of the program is active when the close button is clicked.
  SetActiveWindow(other.get());
  Click(window, 200 - 8, 6);
  EXPECT_EQ(Closes(holder.get()), 1);
  EXPECT_EQ(Closes(other.get()), 0);
  for (HWND host : {holder.get(), other.get()}) {
    RemovePropW(host, L"closes");
  }
}

}  // namespace
}  // namespace svctune::lamina
