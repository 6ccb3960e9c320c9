#include "controls/win/qx_ole_drag.h"
#include "win/mouse_keys.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace svctune::win {

namespace {

bool IsTextFormat(std::int16_t format) {
  return format == kFormatText || format == kFormatUnicodeText;
}

struct GlobalFreer {
  void operator()(void* memory) const { GlobalFree(memory); }
};
// Global memory owned until it is handed over.
using ScopedGlobal = std::unique_ptr<void, GlobalFreer>;

// Global memory locked for the life of the lock.
class GlobalMemoryLock {
 public:
  explicit GlobalMemoryLock(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
  ~GlobalMemoryLock() {
    if (data_ != nullptr) {
      GlobalUnlock(memory_);
    }
  }
  GlobalMemoryLock(const GlobalMemoryLock&) = delete;
  GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;
  void* data() const { return data_; }

 private:
  HGLOBAL memory_;
  void* data_;
};

// A storage medium released at the end of its life.
class ScopedMedium {
 public:
  ScopedMedium() = default;
  ~ScopedMedium() { ReleaseStgMedium(&medium_); }
  ScopedMedium(const ScopedMedium&) = delete;
  ScopedMedium& operator=(const ScopedMedium&) = delete;
  STGMEDIUM* get() { return &medium_; }

 private:
  STGMEDIUM medium_{};
};

// The text as a text format's global memory: UTF-16 for Unicode text, the ANSI code page for
// text, each ending with its zero.
ScopedGlobal GlobalText(std::int16_t format, const std::wstring& text) {
  if (format == kFormatUnicodeText) {
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) {
      return nullptr;
    }
    GlobalMemoryLock lock(memory.get());
    if (lock.data() == nullptr) {
      return nullptr;
    }
    std::memcpy(lock.data(), text.c_str(), bytes);
    return memory;
  }
  const int wide = static_cast<int>(text.size());
  const int length =
      wide == 0 ? 0
                : WideCharToMultiByte(CP_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  if (wide != 0 && length == 0) {
    return nullptr;
  }
  ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(length) + 1));
  if (!memory) {
    return nullptr;
  }
  GlobalMemoryLock lock(memory.get());
  if (lock.data() == nullptr ||
      (length != 0 &&
       WideCharToMultiByte(CP_ACP, 0, text.data(), wide, static_cast<char*>(lock.data()), length,
                           nullptr, nullptr) != length)) {
    return nullptr;
  }
  return memory;
}

// The text of a text format's global memory, read no further than the memory goes whether or
// not it holds the ending zero.
std::optional<std::wstring> ReadGlobalText(HGLOBAL memory, std::int16_t format) {
  const SIZE_T size = GlobalSize(memory);
  GlobalMemoryLock lock(memory);
  if (lock.data() == nullptr) {
    return std::nullopt;
  }
  if (format == kFormatUnicodeText) {
    const auto* begin = static_cast<const wchar_t*>(lock.data());
    const wchar_t* end = begin + size / sizeof(wchar_t);
    return std::wstring(begin, std::find(begin, end, L'\0'));
  }
  const auto* begin = static_cast<const char*>(lock.data());
  const auto length = static_cast<int>(std::find(begin, begin + size, '\0') - begin);
  if (length == 0) {
    return std::wstring();
  }
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  const int wide = MultiByteToWideChar(CP_ACP, 0, begin, length, text.data(), length);
  if (wide == 0) {
    return std::nullopt;
  }
  text.resize(static_cast<std::size_t>(wide));
  return text;
}

FORMATETC GlobalRequest(std::int16_t format) {
  return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

std::int16_t ShiftOf(DWORD keyState) {
  std::int16_t shift = 0;
  if ((keyState & MK_SHIFT) != 0) {
    shift |= 1;
  }
  if ((keyState & MK_CONTROL) != 0) {
    shift |= 2;
  }
  if ((keyState & MK_ALT) != 0) {
    shift |= 4;
  }
  return shift;
}

}  // namespace

// The data of a drop, as another program (or the button itself) offers it: read only.
class DroppedData final : public OleDataObject {
 public:
  explicit DroppedData(com::ComPtr<IDataObject> data) : data_(std::move(data)) {}

  bool GetFormat(std::int16_t format) const override {
    FORMATETC request = GlobalRequest(format);
    return data_->QueryGetData(&request) == S_OK;
  }
  std::optional<std::wstring> GetData(std::int16_t format) const override {
    if (!IsTextFormat(format)) {
      return std::nullopt;
    }
    FORMATETC request = GlobalRequest(format);
    ScopedMedium medium;
    if (FAILED(data_->GetData(&request, medium.get())) || medium.get()->tymed != TYMED_HGLOBAL ||
        medium.get()->hGlobal == nullptr) {
      return std::nullopt;
    }
    return ReadGlobalText(medium.get()->hGlobal, format);
  }
  bool SetData(std::int16_t, std::optional<std::wstring>) override { return false; }
  bool Clear() override { return false; }

 private:
  com::ComPtr<IDataObject> data_;
};

// QxDataObject

com::ComPtr<QxDataObject> QxDataObject::Create(qxButtons_H* button) {
  return com::ComPtr<QxDataObject>::Adopt(new QxDataObject(button));
}

HRESULT QxDataObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG QxDataObject::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG QxDataObject::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    delete this;
  }
  return static_cast<ULONG>(left);
}

HRESULT QxDataObject::Find(const FORMATETC* format) const {
  if (format == nullptr) {
    return E_INVALIDARG;
  }
  if (format->dwAspect != DVASPECT_CONTENT) {
    return DV_E_DVASPECT;
  }
  if (format->lindex != -1) {
    return DV_E_LINDEX;
  }
  if ((format->tymed & TYMED_HGLOBAL) == 0) {
    return DV_E_TYMED;
  }
  const auto key = static_cast<std::int16_t>(format->cfFormat);
  return IsTextFormat(key) && formats_.count(key) != 0 ? S_OK : DV_E_FORMATETC;
}

HRESULT QxDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (medium == nullptr) {
    return E_INVALIDARG;
  }
  const HRESULT found = Find(format);
  if (FAILED(found)) {
    return found;
  }
  const auto key = static_cast<std::int16_t>(format->cfFormat);
  if (!formats_[key] && button_ != nullptr) {
    // The handler may let go of the last other reference.
    const com::ComPtr<QxDataObject> self(this);
    button_->OLESetData(*this, key);
  }
  const auto entry = formats_.find(key);
  if (entry == formats_.end() || !entry->second) {
    return DV_E_FORMATETC;
  }
  ScopedGlobal memory = GlobalText(key, *entry->second);
  if (!memory) {
    return E_OUTOFMEMORY;
  }
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory.release();
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT QxDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
  return E_NOTIMPL;
}

HRESULT QxDataObject::QueryGetData(FORMATETC* format) {
  return Find(format);
}

HRESULT QxDataObject::GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) {
  if (in == nullptr || out == nullptr) {
    return E_INVALIDARG;
  }
  *out = *in;
  out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

HRESULT QxDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
  return E_NOTIMPL;
}

HRESULT QxDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  if (formats == nullptr) {
    return E_INVALIDARG;
  }
  *formats = nullptr;
  if (direction != DATADIR_GET) {
    return E_NOTIMPL;
  }
  std::vector<FORMATETC> offered;
  for (const auto& entry : formats_) {
    offered.push_back(GlobalRequest(entry.first));
  }
  return SHCreateStdEnumFmtEtc(static_cast<UINT>(offered.size()), offered.data(), formats);
}

HRESULT QxDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT QxDataObject::DUnadvise(DWORD) {
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT QxDataObject::EnumDAdvise(IEnumSTATDATA**) {
  return OLE_E_ADVISENOTSUPPORTED;
}

bool QxDataObject::GetFormat(std::int16_t format) const {
  return formats_.count(format) != 0;
}

std::optional<std::wstring> QxDataObject::GetData(std::int16_t format) const {
  const auto entry = formats_.find(format);
  return entry != formats_.end() ? entry->second : std::nullopt;
}

bool QxDataObject::SetData(std::int16_t format, std::optional<std::wstring> data) {
  if (!IsTextFormat(format)) {
    return false;
  }
  formats_[format] = std::move(data);
  return true;
}

bool QxDataObject::Clear() {
  formats_.clear();
  return true;
}

// QxDropSource

com::ComPtr<QxDropSource> QxDropSource::Create(qxButtons_H& button) {
  return com::ComPtr<QxDropSource>::Adopt(new QxDropSource(button));
}

HRESULT QxDropSource::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
    *object = static_cast<IDropSource*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG QxDropSource::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG QxDropSource::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    delete this;
  }
  return static_cast<ULONG>(left);
}

HRESULT QxDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  if (escapePressed) {
    return DRAGDROP_S_CANCEL;
  }
  if ((keyState & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
    return DRAGDROP_S_DROP;
  }
  return S_OK;
}

HRESULT QxDropSource::GiveFeedback(DWORD effect) {
  if (button_ == nullptr) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }
  const com::ComPtr<QxDropSource> self(this);
  return button_->OLEGiveFeedback(static_cast<std::int32_t>(effect)) ? DRAGDROP_S_USEDEFAULTCURSORS
                                                                     : S_OK;
}

// QxDropTarget

com::ComPtr<QxDropTarget> QxDropTarget::Create(HWND window, qxButtons_H& button) {
  return com::ComPtr<QxDropTarget>::Adopt(new QxDropTarget(window, button));
}

QxDropTarget::QxDropTarget(HWND window, qxButtons_H& button) : window_(window), button_(&button) {}

QxDropTarget::~QxDropTarget() = default;

void QxDropTarget::Detach() {
  window_ = nullptr;
  button_ = nullptr;
  data_.reset();
}

HRESULT QxDropTarget::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG QxDropTarget::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG QxDropTarget::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    delete this;
  }
  return static_cast<ULONG>(left);
}

HRESULT QxDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (data == nullptr || effect == nullptr) {
    return E_INVALIDARG;
  }
  if (button_ != nullptr) {
    data_ = std::make_shared<DroppedData>(com::ComPtr<IDataObject>(data));
  }
  Raise(keyState, point, effect, kDragEnter, false);
  return S_OK;
}

HRESULT QxDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (effect == nullptr) {
    return E_INVALIDARG;
  }
  Raise(keyState, point, effect, kDragOver, false);
  return S_OK;
}

HRESULT QxDropTarget::DragLeave() {
  DWORD effect = DROPEFFECT_NONE;
  Raise(keyState_, point_, &effect, kDragLeave, false);
  data_.reset();
  return S_OK;
}

HRESULT QxDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (data == nullptr || effect == nullptr) {
    return E_INVALIDARG;
  }
  if (button_ != nullptr) {
    data_ = std::make_shared<DroppedData>(com::ComPtr<IDataObject>(data));
  }
  Raise(keyState, point, effect, 0, true);
  data_.reset();
  return S_OK;
}

void QxDropTarget::Raise(DWORD keyState, POINTL point, DWORD* effect, std::int16_t state,
                         bool drop) {
  keyState_ = keyState;
  point_ = point;
  POINT client{point.x, point.y};
  if (button_ == nullptr || !data_ || window_ == nullptr || !ScreenToClient(window_, &client)) {
    *effect = DROPEFFECT_NONE;
    return;
  }
  // A handler may destroy the button, which detaches this target and lets go of its data.
  const com::ComPtr<QxDropTarget> self(this);
  const std::shared_ptr<DroppedData> data = data_;
  qxButtons_H& button = *button_;
  const auto x = static_cast<float>(client.x);
  const auto y = static_cast<float>(client.y);
  const std::int32_t answer =
      drop ? button.OLEDragDrop(*data, static_cast<std::int32_t>(*effect), ButtonsOf(keyState),
                                ShiftOf(keyState), x, y)
           : button.OLEDragOver(*data, static_cast<std::int32_t>(*effect), ButtonsOf(keyState),
                                ShiftOf(keyState), x, y, state);
  *effect = static_cast<DWORD>(answer);
}

}  // namespace svctune::win
