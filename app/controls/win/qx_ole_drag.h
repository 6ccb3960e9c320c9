#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "com/com_ptr.h"
#include "controls/qx_buttons_h.h"

// OLE drag and drop for the owner-drawn button: the drop target its window registers, and the
// data object and drop source of a drag that starts from it. Each passes what the platform
// says to the button's model and answers with what its handlers left. The button detaches
// them when it goes, so that a reference the system still holds reaches no gone button.
namespace svctune::win {

// The data of a drag from the button: text formats set or declared by the OLEStartDrag
// handler, handed out as global memory. The data of a declared format is asked of the button
// (OLESetData) when a drop target wants it.
class QxDataObject final : public IDataObject, public OleDataObject {
 public:
  // button: asked for declared data; null for none.
  static com::ComPtr<QxDataObject> Create(qxButtons_H* button);
  void Detach() { button_ = nullptr; }
  bool Empty() const { return formats_.empty(); }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDataObject
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                    DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;
  // OleDataObject
  bool GetFormat(std::int16_t format) const override;
  std::optional<std::wstring> GetData(std::int16_t format) const override;
  bool SetData(std::int16_t format, std::optional<std::wstring> data) override;
  bool Clear() override;

 private:
  explicit QxDataObject(qxButtons_H* button) : button_(button) {}
  ~QxDataObject() = default;
  // S_OK when the request asks for a format this object holds, as global memory of its
  // content; otherwise the error OLE expects.
  HRESULT Find(const FORMATETC* format) const;

  LONG references_ = 1;
  qxButtons_H* button_;
  std::map<std::int16_t, std::optional<std::wstring>> formats_;
};

// The drag source of a drag from the button: the drag goes on while a mouse button is held,
// drops when none is and ends on Escape; OLEGiveFeedback decides the cursors.
class QxDropSource final : public IDropSource {
 public:
  static com::ComPtr<QxDropSource> Create(qxButtons_H& button);
  void Detach() { button_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDropSource
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

 private:
  explicit QxDropSource(qxButtons_H& button) : button_(&button) {}
  ~QxDropSource() = default;

  LONG references_ = 1;
  qxButtons_H* button_;
};

class DroppedData;

// The drop target of the button's window: entering, moving over and leaving raise
// OLEDragOver (State 0, 2, 1), a drop raises OLEDragDrop; the effect a handler leaves is the
// answer. Positions are client pixels of window.
class QxDropTarget final : public IDropTarget {
 public:
  static com::ComPtr<QxDropTarget> Create(HWND window, qxButtons_H& button);
  // The button has gone: later calls answer no effect.
  void Detach();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDropTarget
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                 DWORD* effect) override;

 private:
  QxDropTarget(HWND window, qxButtons_H& button);
  ~QxDropTarget();
  // Raises OLEDragOver (or OLEDragDrop when drop) with the data of this drag and sets effect
  // to what the handlers left.
  void Raise(DWORD keyState, POINTL point, DWORD* effect, std::int16_t state, bool drop);

  LONG references_ = 1;
  HWND window_;
  qxButtons_H* button_;
  std::shared_ptr<DroppedData> data_;
  DWORD keyState_ = 0;
  POINTL point_{};
};

}  // namespace svctune::win
