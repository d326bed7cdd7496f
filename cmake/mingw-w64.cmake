# Cross build for 64-bit Windows with Debian's MinGW-w64; the tests run under Wine.
# mingw-w64-i686.cmake reuses this file for 32-bit Windows.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT KAVO_MINGW_TRIPLET)
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
  set(KAVO_MINGW_TRIPLET x86_64-w64-mingw32)
endif()
# The posix thread model: the win32 one has no std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER ${KAVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KAVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KAVO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KAVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no MinGW runtime DLLs to find at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# 32-bit programs need the 32-bit loader, which Debian's wine32 package brings.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
  find_program(KAVO_WINE NAMES wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
else()
  find_program(KAVO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
endif()
if(KAVO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CMAKE_CURRENT_LIST_DIR}/../tests/win32/wine_run.sh
      ${KAVO_WINE})
endif()
