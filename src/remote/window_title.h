#pragma once

#include <string_view>

namespace kavo {

// How a window's title answers a search for a program's title, best first. An emulated DOS
// machine (DOSBox) cannot take its program's title; it names the running program at the end
// of its own: "DOSBox 0.74-3, Cpu speed: ..., Program:  SPCPLAY".
enum class TitleMatch { NoMatch, DosMachine, Prefix, Exact };

TitleMatch matchTitle(std::string_view windowTitle, std::string_view wanted);

} // namespace kavo
