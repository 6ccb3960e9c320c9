#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The gallery's page of the owner-drawn button qxButtons_H: a child panel filling area that
// holds one button of each shape (0 to 8) and of each style (0 to 7), a group of three check
// boxes, a group of three option buttons, a button with a picture of each kind (bitmap, JPEG,
// icon, cursor), a disabled one, and the page's default ("确定", Enter) and cancel ("取消",
// Escape) buttons. Every event of every button goes to log as one line, such as
// "qxButton3.Click" or "qxButton3.MouseDown(1, 0, 12, 9)". The arrow keys move the focus
// round the option buttons, and from any other button to the next.
//
// Where the window that holds the page runs a dialog message loop, it passes the dialog
// manager's IDOK and IDCANCEL commands on to the page, so that Enter and Escape reach the
// default and cancel buttons from anywhere in it.
//
// The pictures come from the folder "art" beside the program (samples/gallery/art); a button
// whose picture file is missing shows its caption only. Null when the panel cannot be made.
HWND CreateOwnerDrawnPage(HINSTANCE instance, HWND parent, const RECT& area,
                          std::function<void(const std::wstring&)> log);
