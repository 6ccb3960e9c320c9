// The two in-process servers as a COM client sees them: exports, class objects, exact
// reference counts and DllCanUnloadNow, type information, connection points, persistence.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "com/variant.h"
#include "com_test_support.h"

namespace svctune::testing {
namespace {

using com::ComPtr;

GUID Guid(const wchar_t* text) {
  GUID guid{};
  CLSIDFromString(const_cast<LPOLESTR>(text), &guid);
  return guid;
}

struct Library {
  const char* name;
  std::wstring (*path)();
  const wchar_t* clsid;
  const wchar_t* defaultInterface;
  const wchar_t* eventInterface;
};

const Library kLamina{"Lamina", LaminaPath, L"{736DA668-0E16-46C2-B740-7E9D5E893B82}",
                      L"{7B55EB3C-4800-49E2-B2D6-EC03015DDF4F}",
                      L"{A54BF3D5-0D64-4699-BAD6-CA1EFDC5B9FB}"};
const Library kVellum{"Vellum", VellumPath, L"{50605614-19FE-4AD3-90D9-2EA308709F2E}",
                      L"{90B94D9F-FD56-42DC-8AA6-04366735C6A8}",
                      L"{D1446085-A149-4BFA-A988-37032CB594F3}"};

using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(WINAPI*)();

// One library loaded by path, its entry points called directly.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const Library& library) : module_(LoadLibraryW(library.path().c_str())) {}
  ~LoadedLibrary() {
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
  }
  HMODULE get() const { return module_; }
  HRESULT CanUnloadNow() const {
    return reinterpret_cast<CanUnloadNowFn>(Entry("DllCanUnloadNow"))();
  }
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) const {
    return reinterpret_cast<GetClassObjectFn>(Entry("DllGetClassObject"))(clsid, iid, object);
  }

 private:
  using AnyFunction = void (*)();
  AnyFunction Entry(const char* name) const {
    return reinterpret_cast<AnyFunction>(GetProcAddress(module_, name));
  }
  HMODULE module_;
};

std::set<std::string> ExportedNames(HMODULE module) {
  std::set<std::string> names;
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* exports =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  const auto* nameTable = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    names.insert(reinterpret_cast<const char*>(base + nameTable[i]));
  }
  EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames);
  return names;
}

class ServerTest : public ::testing::TestWithParam<Library> {
 protected:
  OleApartment apartment;
};

TEST_P(ServerTest, ExportsExactlyTheFourServerEntryPoints) {
  LoadedLibrary library(GetParam());
  ASSERT_NE(library.get(), nullptr);
  EXPECT_EQ(ExportedNames(library.get()),
            (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                   "DllUnregisterServer"}));
}

TEST_P(ServerTest, CanUnloadExactlyWhenEveryObjectAndLockIsGone) {
  LoadedLibrary library(GetParam());
  ASSERT_NE(library.get(), nullptr);
  EXPECT_EQ(library.CanUnloadNow(), S_OK);

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(
      library.GetClassObject(Guid(GetParam().clsid), IID_IClassFactory, factory.ReceiveVoid()),
      S_OK);
  EXPECT_EQ(library.CanUnloadNow(), S_OK);
  ComPtr<IUnknown> unused;
  EXPECT_EQ(library.GetClassObject(Guid(L"{00000000-0000-0000-0000-000000000001}"),
                                   IID_IClassFactory, unused.ReceiveVoid()),
            CLASS_E_CLASSNOTAVAILABLE);

  IUnknown* outer = reinterpret_cast<IUnknown*>(factory.get());
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, unused.ReceiveVoid()),
            CLASS_E_NOAGGREGATION);

  ComPtr<IUnknown> control;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, control.ReceiveVoid()), S_OK);
  EXPECT_REF(control.get(), 1);
  EXPECT_EQ(library.CanUnloadNow(), S_FALSE);

  ComPtr<IOleObject> ole = control.As<IOleObject>(IID_IOleObject);
  ASSERT_TRUE(ole);
  EXPECT_REF(control.get(), 2);
  ComPtr<IConnectionPointContainer> points =
      control.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ASSERT_TRUE(points);
  EXPECT_REF(control.get(), 3);
  ComPtr<IConnectionPoint> events;
  ASSERT_EQ(points->FindConnectionPoint(Guid(GetParam().eventInterface), events.Receive()), S_OK);
  EXPECT_REF(control.get(), 4);
  ComPtr<IConnectionPoint> notify;
  ASSERT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, notify.Receive()), S_OK);
  ComPtr<IConnectionPoint> none;
  EXPECT_EQ(points->FindConnectionPoint(IID_IDispatch, none.Receive()), CONNECT_E_NOCONNECTION);
  ComPtr<IEnumConnectionPoints> enumerator;
  ASSERT_EQ(points->EnumConnectionPoints(enumerator.Receive()), S_OK);
  IConnectionPoint* listed[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(enumerator->Next(3, listed, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  for (ULONG i = 0; i < fetched; ++i) {
    listed[i]->Release();
  }
  enumerator.Reset();
  EXPECT_REF(control.get(), 5);

  ole.Reset();
  points.Reset();
  events.Reset();
  notify.Reset();
  EXPECT_REF(control.get(), 1);
  control.Reset();
  EXPECT_EQ(library.CanUnloadNow(), S_OK);

  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST_P(ServerTest, ControlAnswersEveryInterfaceAContainerAsksFor) {
  ComPtr<IUnknown> control;
  ASSERT_EQ(CoCreateInstance(Guid(GetParam().clsid), nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             control.ReceiveVoid()),
            S_OK);
  const IID wanted[] = {IID_IDispatch,
                        Guid(GetParam().defaultInterface),
                        IID_IConnectionPointContainer,
                        IID_IPersistPropertyBag,
                        IID_IPersistStreamInit,
                        IID_IOleObject,
                        IID_IOleInPlaceObject,
                        IID_IOleInPlaceActiveObject,
                        IID_IOleControl,
                        IID_IViewObject,
                        IID_IViewObject2,
                        IID_IProvideClassInfo,
                        IID_IProvideClassInfo2};
  for (const IID& iid : wanted) {
    ComPtr<IUnknown> answer;
    EXPECT_EQ(control->QueryInterface(iid, answer.ReceiveVoid()), S_OK);
    ComPtr<IUnknown> identity = answer.As<IUnknown>(IID_IUnknown);
    EXPECT_EQ(identity.get(), control.get());
  }
  ComPtr<IProvideClassInfo2> classInfo = control.As<IProvideClassInfo2>(IID_IProvideClassInfo2);
  GUID source{};
  ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
  EXPECT_TRUE(IsEqualGUID(source, Guid(GetParam().eventInterface)));
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(classInfo->GetClassInfo(coclass.Receive()), S_OK);
  DWORD misc = 0;
  ComPtr<IOleObject> ole = control.As<IOleObject>(IID_IOleObject);
  ASSERT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
  EXPECT_NE(misc & OLEMISC_SETCLIENTSITEFIRST, 0u);
  EXPECT_NE(misc & OLEMISC_ACTIVATEWHENVISIBLE, 0u);
}

INSTANTIATE_TEST_SUITE_P(Libraries, ServerTest, ::testing::Values(kLamina, kVellum),
                         [](const ::testing::TestParamInfo<Library>& info) {
                           return std::string(info.param.name);
                         });

// ---- Type information --------------------------------------------------------------------

ComPtr<IDispatch> CreateByProgId(const wchar_t* progId) {
  CLSID clsid{};
  ComPtr<IDispatch> object;
  if (SUCCEEDED(CLSIDFromProgID(progId, &clsid))) {
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.ReceiveVoid());
  }
  return object;
}

DISPID IdOf(IDispatch* object, const wchar_t* name) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

ComPtr<ITypeInfo> SourceInfo(IUnknown* object) {
  ComPtr<IProvideClassInfo> provider =
      ComPtr<IUnknown>(object).As<IProvideClassInfo>(IID_IProvideClassInfo);
  ComPtr<ITypeInfo> coclass;
  ComPtr<ITypeInfo> source;
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

class TypeInfoTest : public ::testing::Test {
 protected:
  OleApartment apartment;
};

TEST_F(TypeInfoTest, ButtonPropertiesCountDownFromTheLastAndCarryTheirHelpTexts) {
  ComPtr<IDispatch> button = CreateByProgId(L"Lamina.Button");
  ASSERT_TRUE(button);
  EXPECT_EQ(IdOf(button.get(), L"Caption"), 0x68030005);
  EXPECT_EQ(IdOf(button.get(), L"font"), -512);
  EXPECT_EQ(IdOf(button.get(), L"FocusFore"), 0x68030004);
  EXPECT_EQ(IdOf(button.get(), L"FocusBack"), 0x68030003);
  EXPECT_EQ(IdOf(button.get(), L"UnFocusFore"), 0x68030002);
  EXPECT_EQ(IdOf(button.get(), L"UnFocusBack"), 0x68030001);
  EXPECT_EQ(IdOf(button.get(), L"Enabled"), 0x68030000);

  ComPtr<ITypeInfo> info;
  ASSERT_EQ(button->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Receive()), S_OK);
  com::Bstr name;
  info->GetDocumentation(MEMBERID_NIL, name.Receive(), nullptr, nullptr, nullptr);
  EXPECT_EQ(name.str(), L"_Button");
  const std::vector<TypeMember> members = DeclaredMembers(info.get());
  ASSERT_EQ(members.size(), 14u);
  EXPECT_EQ(members[0].name, L"Caption");
  EXPECT_EQ(members[0].help, L"返回/设置对象的标题文本。");
  EXPECT_EQ(members[2].help, L"返回一个 Font 对象。");
  EXPECT_EQ(members[4].help, L"返回/设置对象焦点时文本色。");
  EXPECT_EQ(members[6].help, L"返回/设置对象焦点时背景色。");
  EXPECT_EQ(members[8].help, L"返回/设置对象不在焦点时文本色。");
  EXPECT_EQ(members[10].help, L"返回/设置对象不在焦点时背景色。");
  EXPECT_EQ(members[12].name, L"Enabled");
  EXPECT_EQ(members[12].help, L"");
}

TEST_F(TypeInfoTest, ButtonEventsAreNumberedInOrderOnTheSourceInterface) {
  ComPtr<IDispatch> button = CreateByProgId(L"Lamina.Button");
  ASSERT_TRUE(button);
  ComPtr<ITypeInfo> source = SourceInfo(button.get());
  ASSERT_TRUE(source);
  com::Bstr name;
  source->GetDocumentation(MEMBERID_NIL, name.Receive(), nullptr, nullptr, nullptr);
  EXPECT_EQ(name.str(), L"__Button");
  const std::vector<TypeMember> events = DeclaredMembers(source.get());
  const wchar_t* expected[] = {L"Click", L"MouseUp", L"MouseDown", L"MouseMove",
                               L"KeyUp", L"KeyDown", L"KeyPress"};
  ASSERT_EQ(events.size(), 7u);
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].name, expected[i]);
    EXPECT_EQ(events[i].id, static_cast<DISPID>(i + 1));
  }
}

// The scale controls: properties in declaration order, numbered down from the last (Font
// apart), and their one event.
struct ScaleClass {
  const wchar_t* progId;
  std::vector<std::wstring> properties;
  std::wstring event;
  std::wstring backColorHelp;
};

TEST_F(TypeInfoTest, ScaleControlsNumberTheirPropertiesDownFromTheLast) {
  const std::vector<std::wstring> scroll{L"BackColor", L"UnFocusFC", L"FocusBC", L"FocusFC",
                                         L"UnFocusBC", L"Max",       L"Min",     L"MinChange",
                                         L"MaxChange", L"MoveValue"};
  const ScaleClass classes[] = {
      {L"Lamina.Progress",
       {L"Font", L"BackColor", L"FillColor", L"Max", L"Value", L"Vertical", L"ShowTxt"},
       L"Progress",
       L"返回/设置对象背景色。"},
      {L"Lamina.Vscroll", scroll, L"Change", L""},
      {L"Lamina.Hscroll", scroll, L"Change", L"返回/设置对象中文本和图形的背景色。"},
  };
  for (const ScaleClass& expected : classes) {
    SCOPED_TRACE(::testing::Message() << static_cast<int>(expected.progId[8]));
    ComPtr<IDispatch> control = CreateByProgId(expected.progId);
    ASSERT_TRUE(control);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Receive()), S_OK);
    std::vector<std::wstring> names;
    std::wstring backColorHelp = L"<none>";
    for (const TypeMember& member : DeclaredMembers(info.get())) {
      if (names.empty() || names.back() != member.name) {
        names.push_back(member.name);
      }
      if (member.name == L"BackColor") {
        backColorHelp = member.help;
      }
    }
    EXPECT_EQ(names, expected.properties);
    EXPECT_EQ(backColorHelp, expected.backColorHelp);
    DISPID next = 0x68030000;
    for (auto name = expected.properties.rbegin(); name != expected.properties.rend(); ++name) {
      EXPECT_EQ(IdOf(control.get(), name->c_str()), *name == L"Font" ? DISPID_FONT : next++);
    }
    ComPtr<ITypeInfo> source = SourceInfo(control.get());
    ASSERT_TRUE(source);
    const std::vector<TypeMember> events = DeclaredMembers(source.get());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].name, expected.event);
    EXPECT_EQ(events[0].id, 1);
  }
}

TEST_F(TypeInfoTest, CorvidFormMembersAndEventsInTheirOrder) {
  ComPtr<IDispatch> form = CreateByProgId(L"Vellum.CorvidForm");
  ASSERT_TRUE(form);
  EXPECT_EQ(IdOf(form.get(), L"ShowAbout"), DISPID_ABOUTBOX);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(form->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Receive()), S_OK);
  const std::vector<TypeMember> members = DeclaredMembers(info.get());
  std::vector<std::wstring> names;
  for (const TypeMember& member : members) {
    if (names.empty() || names.back() != member.name) {
      names.push_back(member.name);
    }
  }
  EXPECT_EQ(names,
            (std::vector<std::wstring>{L"SetRgn", L"hwnd", L"Caption", L"ShowAbout", L"Icon"}));
  ASSERT_GE(members.size(), 2u);
  EXPECT_NE(members[1].flags & FUNCFLAG_FNONBROWSABLE, 0);
  EXPECT_EQ(members.size(), 9u);  // Icon has get, let and set

  ComPtr<ITypeInfo> source = SourceInfo(form.get());
  ASSERT_TRUE(source);
  const std::vector<TypeMember> events = DeclaredMembers(source.get());
  const wchar_t* expected[] = {L"UnloadClick", L"Click",   L"DblClick",
                               L"MouseMove",   L"MouseUp", L"MouseDown"};
  ASSERT_EQ(events.size(), 6u);
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].name, expected[i]);
    EXPECT_EQ(events[i].id, static_cast<DISPID>(i + 1));
  }
}

TEST_F(TypeInfoTest, AnInactiveButtonDrawsThroughItsViewObject) {
  ComPtr<IDispatch> button = CreateByProgId(L"Lamina.Button");
  ASSERT_TRUE(button);
  ComPtr<IViewObject2> view = button.As<IViewObject2>(IID_IViewObject2);
  ComPtr<IOleObject> ole = button.As<IOleObject>(IID_IOleObject);
  SIZEL extent{};
  ASSERT_EQ(ole->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(extent.cx, MulDiv(1215, 2540, 1440));
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 81, 33);
  ReleaseDC(nullptr, screen);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const RECTL bounds{0, 0, 81, 33};
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr,
                       nullptr, 0),
            S_OK);
  EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0, 0, 0));             // the face's border
  EXPECT_EQ(GetPixel(memory, 2, 2), RGB(0xE0, 0xE0, 0xE0));    // the face
  EXPECT_EQ(GetPixel(memory, 80, 10), RGB(0xE0, 0xE0, 0xE0));  // the surface strip
  EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr,
                       nullptr, 0),
            DV_E_DVASPECT);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

// ---- Stream persistence --------------------------------------------------------------------

HRESULT PutText(IDispatch* object, const wchar_t* name, const wchar_t* text) {
  com::Bstr value(text);
  VARIANTARG argument;
  VariantInit(&argument);
  argument.vt = VT_BSTR;
  argument.bstrVal = value.get();
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&argument, &named, 1, 1};
  return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                        &parameters, nullptr, nullptr, nullptr);
}

std::wstring GetText(IDispatch* object, const wchar_t* name) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  com::Variant value;
  object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                 value.get(), nullptr, nullptr);
  return value.ChangeTo(VT_BSTR) ? com::ToString(value->bstrVal) : L"<error>";
}

TEST_F(TypeInfoTest, StreamRoundTripKeepsSettingsAndDamagedStreamsAreRefused) {
  for (const wchar_t* progId : {L"Lamina.Button", L"Vellum.CorvidForm"}) {
    SCOPED_TRACE(::testing::Message() << "control " << static_cast<int>(progId[0]));
    ComPtr<IDispatch> first = CreateByProgId(progId);
    ASSERT_TRUE(first);
    ComPtr<IPersistStreamInit> persist = first.As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(persist->InitNew(), S_OK);
    EXPECT_EQ(persist->InitNew(), E_UNEXPECTED);
    ASSERT_EQ(PutText(first.get(), L"Caption", L"设置登陆密码验证"), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()), S_OK);
    ULARGE_INTEGER expected{};
    ASSERT_EQ(persist->GetSizeMax(&expected), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    STATSTG status{};
    ASSERT_EQ(stream->Stat(&status, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(status.cbSize.QuadPart, expected.QuadPart);

    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ComPtr<IDispatch> second = CreateByProgId(progId);
    ComPtr<IPersistStreamInit> loader = second.As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(loader->Load(stream.get()), S_OK);
    EXPECT_EQ(GetText(second.get(), L"Caption"), L"设置登陆密码验证");

    ComPtr<IStream> damaged;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, damaged.Receive()), S_OK);
    const unsigned char junk[] = {12, 0, 0, 0, 'S', 'M', 'B', '1', 0xff, 0xff, 0xff, 0x7f};
    damaged->Write(junk, sizeof junk, nullptr);
    damaged->Seek(start, STREAM_SEEK_SET, nullptr);
    ComPtr<IDispatch> third = CreateByProgId(progId);
    ComPtr<IPersistStreamInit> refuser = third.As<IPersistStreamInit>(IID_IPersistStreamInit);
    EXPECT_EQ(refuser->Load(damaged.get()), E_FAIL);
    EXPECT_EQ(refuser->InitNew(), S_OK);
  }
}

// ---- The frame: font by reference, sizes the fields cannot hold ----------------------------

// Counts the property-changed notices of one property.
class NoticeCounter final : public IPropertyNotifySink {
 public:
  explicit NoticeCounter(DISPID watched) : watched_(watched) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyNotifySink)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID dispid) override {
    notices += dispid == watched_ ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
  int notices = 0;

 private:
  DISPID watched_;
};

ComPtr<IFont> FontOf(IDispatch* control) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  com::Variant value;
  if (FAILED(control->Invoke(DISPID_FONT, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                             &none, value.get(), nullptr, nullptr)) ||
      value->vt != VT_DISPATCH || value->pdispVal == nullptr) {
    return ComPtr<IFont>();
  }
  return ComPtr<IDispatch>(value->pdispVal).As<IFont>(IID_IFont);
}

TEST_F(TypeInfoTest, ChangesMadeThroughTheHandedOutFontReachTheControlAndItsSettings) {
  for (const wchar_t* progId :
       {L"Lamina.Button", L"Lamina.Progress", L"Lamina.ComBox", L"Lamina.MoveBar"}) {
    SCOPED_TRACE(progId);
    ComPtr<IDispatch> control = CreateByProgId(progId);
    ASSERT_TRUE(control);
    ComPtr<IPersistStreamInit> persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_EQ(persist->InitNew(), S_OK);
    NoticeCounter counter(DISPID_FONT);
    ComPtr<IConnectionPointContainer> points =
        control.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> notices;
    ASSERT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, notices.Receive()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(notices->Advise(&counter, &cookie), S_OK);

    ComPtr<IFont> font = FontOf(control.get());
    ASSERT_TRUE(font);
    CY twelve{};
    twelve.int64 = 120000;
    ASSERT_EQ(font->put_Size(twelve), S_OK);
    EXPECT_EQ(counter.notices, 1);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ComPtr<IFont> again = FontOf(control.get());
    ASSERT_TRUE(again);
    EXPECT_EQ(again.get(), font.get());  // the same object, not a snapshot

    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ComPtr<IDispatch> loaded = CreateByProgId(progId);
    ASSERT_EQ(loaded.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(stream.get()), S_OK);
    ComPtr<IFont> loadedFont = FontOf(loaded.get());
    ASSERT_TRUE(loadedFont);
    CY size{};
    ASSERT_EQ(loadedFont->get_Size(&size), S_OK);
    EXPECT_EQ(size.int64, 120000);
    EXPECT_EQ(notices->Unadvise(cookie), S_OK);
  }
}

TEST_F(TypeInfoTest, ASizeTheLayoutCannotHoldIsRefusedWithTheOverflowError) {
  ComPtr<IDispatch> button = CreateByProgId(L"Lamina.Button");
  ASSERT_TRUE(button);
  ComPtr<IOleObject> ole = button.As<IOleObject>(IID_IOleObject);
  SIZEL before{};
  ASSERT_EQ(ole->GetExtent(DVASPECT_CONTENT, &before), S_OK);
  for (const SIZEL& refused : {SIZEL{MulDiv(40000, 2540, 1440), 800}, SIZEL{2000, 20}}) {
    SIZEL size = refused;
    EXPECT_EQ(ole->SetExtent(DVASPECT_CONTENT, &size), CTL_E_OVERFLOW);
    SIZEL after{};
    ASSERT_EQ(ole->GetExtent(DVASPECT_CONTENT, &after), S_OK);
    EXPECT_EQ(after.cx, before.cx);
    EXPECT_EQ(after.cy, before.cy);
  }
}

}  // namespace
}  // namespace svctune::testing
