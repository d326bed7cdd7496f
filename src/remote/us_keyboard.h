#pragma once

#include "remote/keyboard.h"

namespace kavo {

// The answers a US Windows keyboard gives, from a fixed table: what an emulated PC, which reads
// key positions as set-1 scan codes, needs to receive a character exactly, whatever layout the
// host uses. Characters outside printable ASCII (but Tab, Enter, Backspace, Escape) are absent.
class UsPcKeyboard : public KeyboardLayout {
public:
    std::int16_t vkKeyScan(std::uint8_t ansiChar) override;
    std::uint8_t charToOem(std::uint8_t ansiChar) override { return ansiChar; }
    std::uint32_t oemKeyScan(std::uint16_t oemChar) override;
    std::uint32_t mapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;
};

} // namespace kavo
