#pragma once

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace svctune::testing {

// The reference count of an object, read the way wine's tests read it.
inline ULONG RefCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

#define EXPECT_REF(object, count) \
  EXPECT_EQ(::svctune::testing::RefCount(object), static_cast<ULONG>(count))

// OLE for the life of the test (single-threaded apartment).
class OleApartment {
 public:
  OleApartment() : result_(OleInitialize(nullptr)) {}
  ~OleApartment() {
    if (SUCCEEDED(result_)) {
      OleUninitialize();
    }
  }
  OleApartment(const OleApartment&) = delete;
  OleApartment& operator=(const OleApartment&) = delete;
  bool ok() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

// A visible top-level window to host controls in, destroyed with the object.
class HostWindow {
 public:
  HostWindow(int width, int height, DWORD style = WS_POPUP | WS_VISIBLE);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// Runs the message loop for a while, so that paints, timers and posted messages happen.
void PumpMessages(DWORD milliseconds);

// The colour on screen of a point of a window's client area, after the window has painted.
COLORREF ScreenPixel(HWND window, int x, int y);

// A member of a type as its type information declares it: a property's get and put are two.
struct TypeMember {
  std::wstring name;
  DISPID id;
  std::wstring help;
  WORD flags;  // FUNCFLAG_…
  INVOKEKIND kind;
  SHORT parameters;
};

// The members of a type in declaration order, IDispatch's own members left out; none when the
// type information is missing or cannot be read.
std::vector<TypeMember> DeclaredMembers(ITypeInfo* info);

// The Windows path of the built Lamina.dll and Vellum.dll.
std::wstring LaminaPath();
std::wstring VellumPath();

}  // namespace svctune::testing
