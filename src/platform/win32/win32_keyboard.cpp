#include "platform/win32/win32_keyboard.h"

#include <windows.h>

namespace kavo {

std::int16_t Win32KeyboardLayout::vkKeyScan(std::uint8_t ansiChar) {
    return VkKeyScanA(static_cast<CHAR>(ansiChar));
}

std::uint8_t Win32KeyboardLayout::charToOem(std::uint8_t ansiChar) {
    // NUL is its own OEM form; the call would see an empty text.
    if (ansiChar == 0)
        return 0;
    const char source[2] = {static_cast<char>(ansiChar), '\0'};
    char oem[2] = {' ', '\0'};
    CharToOemA(source, oem);
    return static_cast<std::uint8_t>(oem[0]);
}

std::uint32_t Win32KeyboardLayout::oemKeyScan(std::uint16_t oemChar) {
    return OemKeyScan(oemChar);
}

std::uint32_t Win32KeyboardLayout::mapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
    return MapVirtualKeyA(code, mapType);
}

void Win32KeyInjector::inject(const KeyEvent& event) {
    const DWORD byPosition =
        windows_ != nullptr && windows_->activatedDosMachine() ? KEYEVENTF_SCANCODE : 0;
    keybd_event(event.virtualKey, event.scanCode, event.flags | byPosition, event.extraInfo);
    ++pending_;
}

void Win32KeyInjector::releaseModifiers() {
    // An unassigned key first: Alt or a Windows key released alone would open a menu.
    constexpr BYTE kMaskKey = 0xE8;
    bool masked = false;
    for (const BYTE key :
         {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_LWIN, VK_RWIN}) {
        if ((GetAsyncKeyState(key) & 0x8000) == 0)
            continue;
        const bool menuKey = key == VK_LMENU || key == VK_RMENU || key == VK_LWIN || key == VK_RWIN;
        if (!masked && menuKey) {
            keybd_event(kMaskKey, 0, 0, 0);
            keybd_event(kMaskKey, 0, KEYEVENTF_KEYUP, 0);
            masked = true;
        }
        const bool extended = key == VK_RCONTROL || (menuKey && key != VK_LMENU);
        keybd_event(key, static_cast<BYTE>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)),
                    KEYEVENTF_KEYUP | (extended ? KEYEVENTF_EXTENDEDKEY : 0), 0);
    }
}

void Win32KeyInjector::flush() {
    HWND target = GetForegroundWindow();
    const bool foreign =
        target != nullptr && GetWindowThreadProcessId(target, nullptr) != GetCurrentThreadId();
    if (!foreign || pending_ == 0) {
        pending_ = 0;
        return;
    }
    // A sent message is answered only when the target's thread is back in its message loop,
    // which takes at most one queued message per visit; a key press may queue a character
    // message of its own, hence two visits per event. A hung target ends the wait at once.
    const ULONGLONG deadline = GetTickCount64() + 2000;
    for (int visit = 0; visit < 2 * pending_ + 1; ++visit) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline || !SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                                    static_cast<UINT>(deadline - now), nullptr))
            break;
    }
    // Even so, under load a key may still be on its way (seen under Wine: about one press in
    // twenty lost without this); a short pause lets it arrive before the focus moves on.
    Sleep(kSettlePause);
    pending_ = 0;
}

} // namespace kavo
