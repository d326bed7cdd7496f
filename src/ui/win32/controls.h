#pragma once

#include <string>
#include <string_view>
#include <windows.h>

namespace kavo::win32ui {

// Left, top, width and height in twips, as the windows are designed.
struct Twips {
    int left, top, width, height;
};

// Pixels for twips at the screen's DPI: 15 twips make a pixel at 96 DPI.
int px(int twips);

std::wstring wide(std::string_view utf8);
std::string utf8Text(HWND window);
void setText(HWND window, std::string_view utf8);

// A child control in the dialog font; its place in the tab order is its creation order.
HWND addControl(HWND parent, const wchar_t* windowClass, std::string_view text, DWORD style,
                const Twips& at, int id, DWORD exStyle = 0);

// What a dialog does by itself and a plain window must do: remembers which control had the
// keyboard when the window was deactivated and gives it back when it is active again.
class FocusMemory {
public:
    explicit FocusMemory(HWND first = nullptr) : control_(first) {}
    // Call with every message of the window; true when the message has been answered.
    bool handle(HWND window, UINT message, WPARAM wParam);

private:
    HWND control_;
};

// The design's label sizes are for its own font: each label is widened to its text where the
// message font is wider, and cut short above any control it would cover.
void fitLabels(HWND window);

// Sizes the window so that its client area is the given twips, and centres it on the screen.
void placeCentred(HWND window, int clientWidth, int clientHeight);

} // namespace kavo::win32ui
