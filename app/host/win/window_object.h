#pragma once

#include <windows.h>
#include <oaidl.h>

namespace svctune::host {

// A window as a late-bound object with Width and Height (twips) and hwnd, the members the
// skin control's SetRgn asks of the window it shapes.
class WindowObject final : public IDispatch {
 public:
  static WindowObject* Create(HWND window);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*,
                                   VARIANT* result, EXCEPINFO*, UINT*) override;

 private:
  explicit WindowObject(HWND window) : window_(window) {}
  ~WindowObject() = default;

  LONG references_ = 1;
  HWND window_;
};

}  // namespace svctune::host
