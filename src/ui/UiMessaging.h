#pragma once

#include <string_view>

#include "ui/UiTypes.h"

namespace q208 {

// Queues a message for a window of this process; any thread. False when the window is gone.
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Hands a message to a window and returns its result. From the window's own thread the
// window handles it directly; from any other thread the call blocks until the window's
// thread handled it. 0 when the window is gone (or goes away before handling it).
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Ends the message loop of the calling thread with `exitCode`.
void PostQuitMessage(int exitCode);
bool IsWindow(HWND hwnd);
// Process-wide message number for a name, from 0xC000 on; the same name (in any letter case)
// gives the same number. An empty name gives 0.
UINT RegisterWindowMessage(std::string_view name);

}  // namespace q208
