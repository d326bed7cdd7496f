#include "ui/win32/controls.h"

#include "platform/win32/wide_text.h"

#include <algorithm>

namespace kavo::win32ui {

namespace {

HFONT dialogFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            return CreateFontIndirectW(&metrics.lfMessageFont);
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }();
    return font;
}

int screenDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value > 0 ? value : USER_DEFAULT_SCREEN_DPI;
    }();
    return dpi;
}

} // namespace

int px(int twips) {
    return MulDiv(twips, screenDpi(), 1440);
}

std::wstring wide(std::string_view utf8) {
    return win32::toWide(utf8).value_or(std::wstring());
}

std::string utf8Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return win32::toUtf8(text);
}

void setText(HWND window, std::string_view utf8) {
    SetWindowTextW(window, wide(utf8).c_str());
}

HWND addControl(HWND parent, const wchar_t* windowClass, std::string_view text, DWORD style,
                const Twips& at, int id, DWORD exStyle) {
    HWND control = CreateWindowExW(
        exStyle, windowClass, wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, px(at.left),
        px(at.top), px(at.width), px(at.height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont()), FALSE);
    return control;
}

bool FocusMemory::handle(HWND window, UINT message, WPARAM wParam) {
    const bool activated = message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE;
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) {
        if (HWND focus = GetFocus(); focus != nullptr && IsChild(window, focus))
            control_ = focus;
    } else if ((activated && HIWORD(wParam) == 0) || message == WM_SETFOCUS) {
        HWND target = control_ != nullptr && IsChild(window, control_) &&
                              IsWindowEnabled(control_) && IsWindowVisible(control_)
                          ? control_
                          : GetNextDlgTabItem(window, nullptr, FALSE);
        if (target != nullptr) {
            SetFocus(target);
            return true;
        }
    }
    return false;
}

namespace {

RECT rectIn(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool isLabel(HWND control) {
    wchar_t name[8] = {};
    GetClassNameW(control, name, 8);
    return lstrcmpiW(name, L"Static") == 0;
}

} // namespace

void fitLabels(HWND window) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, dialogFont());
    for (HWND label = GetWindow(window, GW_CHILD); label != nullptr;
         label = GetWindow(label, GW_HWNDNEXT)) {
        if (!isLabel(label))
            continue;
        RECT rect = rectIn(window, label);
        const std::wstring text = wide(utf8Text(label));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        rect.right = std::max(rect.right, rect.left + size.cx);
        for (HWND other = GetWindow(window, GW_CHILD); other != nullptr;
             other = GetWindow(other, GW_HWNDNEXT)) {
            RECT covered{};
            const RECT below = rectIn(window, other);
            if (other != label && below.top > rect.top && IntersectRect(&covered, &rect, &below))
                rect.bottom = below.top;
        }
        SetWindowPos(label, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
}

void placeCentred(HWND window, int clientWidth, int clientHeight) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Twice: a menu bar that wraps at the first width makes the client area shorter.
    for (int pass = 0; pass < 2; ++pass) {
        RECT frame{}, client{};
        GetWindowRect(window, &frame);
        GetClientRect(window, &client);
        const int width = frame.right - frame.left + px(clientWidth) - client.right;
        const int height = frame.bottom - frame.top + px(clientHeight) - client.bottom;
        SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                     work.top + (work.bottom - work.top - height) / 2, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

} // namespace kavo::win32ui
