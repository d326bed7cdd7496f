#pragma once

// Where DOSBox is, and whether Windows needs it at all.
#include <string>

namespace kavo {

// True on a Windows that runs DOS programs itself: 32-bit x86 Windows with its DOS subsystem.
bool windowsRunsDosPrograms();

// dosbox.exe on PATH, else where its installer put it (its uninstall entry, or a DOSBox-0.74*
// folder under the program folders); "" when none is found. UTF-8.
std::string findDosbox();

// The staging base: the user's temporary folder in its short form, when that form is plain
// enough for DOSBox's mount command (dos::isPlainWindowsDir); "" otherwise.
std::string windowsStagingBase();

} // namespace kavo
