#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace svctune::gallery {

// Writes one line into the gallery's event log.
using EventLogger = std::function<void(const std::wstring&)>;

// What a page keeps alive while its window lives (its controls and their container).
class PageContents {
 public:
  virtual ~PageContents() = default;
};

// A page of the gallery: a plain child window at area that owns its contents and deletes them
// when it is destroyed. Null when the window cannot be created.
HWND CreatePageWindow(HINSTANCE instance, HWND parent, const RECT& area);
void AttachPageContents(HWND page, std::unique_ptr<PageContents> contents);

}  // namespace svctune::gallery
