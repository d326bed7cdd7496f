# Installs the build tree into a scratch prefix and checks that the program, its desktop entry
# and its icon land where desktops look for them.
# Usage: cmake -DBUILD_DIR=<build tree> -DBINDIR=<bin> -DDATADIR=<share> -P install_check.cmake
cmake_minimum_required(VERSION 3.25)
set(prefix "${BUILD_DIR}/install-check")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(expected
        "${BINDIR}/kavofe"
        "${DATADIR}/applications/kavofe.desktop"
        "${DATADIR}/icons/hicolor/48x48/apps/kavofe.png")
  if(NOT EXISTS "${prefix}/${expected}")
    message(FATAL_ERROR "not installed: ${expected}")
  endif()
endforeach()
file(STRINGS "${prefix}/${DATADIR}/applications/kavofe.desktop" entry)
foreach(line "Exec=kavofe" "Icon=kavofe" "Type=Application")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "desktop entry lacks ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE "${prefix}")
