#include "controls/win/qx_picture.h"

#include <utility>

#include "win/scoped_gdi.h"

namespace svctune::win {

namespace {

struct FileTraits {
  using Handle = HANDLE;
  static void Close(HANDLE file) { CloseHandle(file); }
};
using ScopedFile = ScopedHandle<FileTraits>;

struct GlobalTraits {
  using Handle = HGLOBAL;
  static void Close(HGLOBAL memory) { GlobalFree(memory); }
};
using ScopedGlobal = ScopedHandle<GlobalTraits>;

// The file's bytes in movable global memory, as a stream over it needs.
ScopedGlobal ReadFileToGlobal(const std::wstring& path, DWORD& size) {
  ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.Release();
    return {};
  }
  size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size == 0) {
    return {};
  }
  ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!memory) {
    return {};
  }
  void* bytes = GlobalLock(memory.get());
  if (bytes == nullptr) {
    return {};
  }
  DWORD read = 0;
  const BOOL ok = ReadFile(file.get(), bytes, size, &read, nullptr);
  GlobalUnlock(memory.get());
  if (!ok || read != size) {
    return {};
  }
  return memory;
}

// The pixel size of an icon: its colour bitmap, or half its mask for a monochrome one. The
// bitmaps GetIconInfo makes are the caller's to delete.
bool IconSize(HICON icon, int& width, int& height) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) {
    return false;
  }
  ScopedBitmap colour(info.hbmColor);
  ScopedBitmap mask(info.hbmMask);
  BITMAP bitmap{};
  if (colour && GetObjectW(colour.get(), sizeof bitmap, &bitmap) == sizeof bitmap) {
    width = bitmap.bmWidth;
    height = bitmap.bmHeight;
    return true;
  }
  if (mask && GetObjectW(mask.get(), sizeof bitmap, &bitmap) == sizeof bitmap) {
    width = bitmap.bmWidth;
    height = bitmap.bmHeight / 2;
    return true;
  }
  return false;
}

}  // namespace

OlePicture::OlePicture(com::ComPtr<IPicture> picture, PictureKind kind, HANDLE handle, int width,
                       int height, std::wstring source)
    : picture_(std::move(picture)),
      kind_(kind),
      handle_(handle),
      width_(width),
      height_(height),
      source_(std::move(source)) {}

std::shared_ptr<const OlePicture> OlePicture::Load(const std::wstring& path) {
  DWORD size = 0;
  ScopedGlobal memory = ReadFileToGlobal(path, size);
  if (!memory) {
    return nullptr;
  }
  com::ComPtr<IStream> stream;
  // On success the stream owns the memory and frees it with itself.
  if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, stream.Receive()))) {
    return nullptr;
  }
  memory.Release();
  com::ComPtr<IPicture> picture;
  if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                            picture.ReceiveVoid()))) {
    return nullptr;
  }
  OLE_HANDLE handle = 0;
  SHORT type = PICTYPE_NONE;
  if (FAILED(picture->get_Handle(&handle)) || FAILED(picture->get_Type(&type)) || handle == 0) {
    return nullptr;
  }
  const HANDLE object = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle));
  int width = 0;
  int height = 0;
  BITMAP bitmap{};
  if (type == PICTYPE_BITMAP &&
      GetObjectW(object, sizeof bitmap, &bitmap) == static_cast<int>(sizeof bitmap)) {
    return std::make_shared<const OlePicture>(std::move(picture), PictureKind::kBitmap, object,
                                              bitmap.bmWidth, bitmap.bmHeight, path);
  }
  if (type == PICTYPE_ICON && IconSize(static_cast<HICON>(object), width, height)) {
    return std::make_shared<const OlePicture>(std::move(picture), PictureKind::kIcon, object, width,
                                              height, path);
  }
  return nullptr;
}

HPALETTE OlePicture::palette() const {
  OLE_HANDLE palette = 0;
  if (kind_ != PictureKind::kBitmap || FAILED(picture_->get_hPal(&palette))) {
    return nullptr;
  }
  return reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(palette));
}

}  // namespace svctune::win
