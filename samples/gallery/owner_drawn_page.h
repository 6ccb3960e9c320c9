#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The gallery's page of the owner-drawn button qxButtons_H: a child panel filling area that
// holds one button of each shape (0 to 8) and of each style (0 to 7), a group of three check
// boxes, a group of three option buttons, a button with a picture of each kind (bitmap, JPEG,
// icon, cursor) and a disabled one. Every event of every button goes to log as one line,
// such as "qxButton3.Click" or "qxButton3.MouseDown(1, 0, 12, 9)".
//
// The pictures come from the folder "art" beside the program (samples/gallery/art); a button
// whose picture file is missing shows its caption only. Null when the panel cannot be made.
HWND CreateOwnerDrawnPage(HINSTANCE instance, HWND parent, const RECT& area,
                          std::function<void(const std::wstring&)> log);
