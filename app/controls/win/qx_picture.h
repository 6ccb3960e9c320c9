#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <string>

#include "com/com_ptr.h"
#include "controls/qx_buttons_h.h"

namespace svctune::win {

// A picture loaded through the platform's picture object (OleLoadPicture): bitmaps and JPEGs
// become bitmaps, icons and cursors icons. Its size is that of the bitmap, or of the icon's
// colour bitmap (the mask's upper half for a monochrome icon).
class OlePicture final : public ButtonPicture {
 public:
  // Null when the file cannot be read or the platform cannot make a picture of it.
  static std::shared_ptr<const OlePicture> Load(const std::wstring& path);

  PictureKind kind() const override { return kind_; }
  int width() const override { return width_; }
  int height() const override { return height_; }
  const std::wstring& source() const override { return source_; }

  HBITMAP bitmap() const {
    return kind_ == PictureKind::kBitmap ? static_cast<HBITMAP>(handle_) : nullptr;
  }
  HICON icon() const { return kind_ == PictureKind::kIcon ? static_cast<HICON>(handle_) : nullptr; }
  HPALETTE palette() const;

  OlePicture(com::ComPtr<IPicture> picture, PictureKind kind, HANDLE handle, int width, int height,
             std::wstring source);

 private:
  com::ComPtr<IPicture> picture_;
  PictureKind kind_;
  HANDLE handle_;
  int width_;
  int height_;
  std::wstring source_;
};

}  // namespace svctune::win
