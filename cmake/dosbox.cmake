# Tests of the DOS player inside the real DOSBox: a DOS program under the player's name and
# length that logs the command tail, files and keys it gets. Without nasm there is none.
if(WIN32 OR NOT KAVO_BUILD_TESTS)
  return()
endif()
find_program(KAVO_NASM nasm)
if(NOT KAVO_NASM)
  message(STATUS "nasm not found: no DOS probe and no tests under DOSBox")
  return()
endif()

set(KAVO_DOS_PROBE_EXE ${CMAKE_BINARY_DIR}/dosprobe/SPCPLAY.EXE)
set(kavo_dos_probe_image ${CMAKE_BINARY_DIR}/dosprobe-image/probe.exe)
add_custom_command(OUTPUT ${KAVO_DOS_PROBE_EXE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dosprobe-image
  COMMAND ${KAVO_NASM} -f bin -i ${CMAKE_CURRENT_SOURCE_DIR}/tests/dosbox/
          -o ${kavo_dos_probe_image} ${CMAKE_CURRENT_SOURCE_DIR}/tests/dosbox/probe.asm
  COMMAND ${CMAKE_COMMAND} -DIN=${kavo_dos_probe_image} -DOUT=${KAVO_DOS_PROBE_EXE}
          -DSIZE=913758 -P ${CMAKE_CURRENT_SOURCE_DIR}/tests/standin/pad.cmake
  DEPENDS tests/dosbox/probe.asm tests/dosbox/mz_header.inc tests/standin/pad.cmake
  COMMENT "Assembling the DOS probe and padding it to SPCPLAY.EXE"
  VERBATIM)
add_custom_target(kavo_dos_probe ALL DEPENDS ${KAVO_DOS_PROBE_EXE})

# The starter against the real DOSBox on the test display: hostile names, start failures.
add_executable(kavo_dosbox_tests tests/dosbox/dosbox_starter_test.cpp)
target_include_directories(kavo_dosbox_tests PRIVATE tests)
target_link_libraries(kavo_dosbox_tests PRIVATE kavo_posix GTest::gtest GTest::gtest_main)
target_compile_definitions(kavo_dosbox_tests PRIVATE KAVO_DOS_PROBE_EXE="${KAVO_DOS_PROBE_EXE}")
add_dependencies(kavo_dosbox_tests kavo_dos_probe)
gtest_discover_tests(kavo_dosbox_tests DISCOVERY_TIMEOUT 60
  PROPERTIES RESOURCE_LOCK kavo_test_display TIMEOUT 120)

# Sound and speed: a DOS program that counts and plays a Sound Blaster tone, run by Launch and
# by a bare DOSBox (tests/dosbox/tone_test.sh).
set(KAVO_DOS_TONE_EXE ${CMAKE_BINARY_DIR}/dostone/TONE.EXE)
add_custom_command(OUTPUT ${KAVO_DOS_TONE_EXE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dostone
  COMMAND ${KAVO_NASM} -f bin -i ${CMAKE_CURRENT_SOURCE_DIR}/tests/dosbox/ -o ${KAVO_DOS_TONE_EXE}
          ${CMAKE_CURRENT_SOURCE_DIR}/tests/dosbox/tone.asm
  DEPENDS tests/dosbox/tone.asm tests/dosbox/mz_header.inc
  COMMENT "Assembling the DOS tone program"
  VERBATIM)
add_custom_target(kavo_dos_tone ALL DEPENDS ${KAVO_DOS_TONE_EXE})

if(TARGET kavofe)
  # Without a window manager: the main-window run has one, so each activation path runs once.
  add_test(NAME e2e_dosbox
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/dosbox_e2e.sh $<TARGET_FILE:kavofe>
            ${KAVO_DOS_PROBE_EXE} ${CMAKE_BINARY_DIR}/e2e)
  set_tests_properties(e2e_dosbox PROPERTIES RESOURCE_LOCK kavo_test_display TIMEOUT 180)
  add_test(NAME e2e_dosbox_sound
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/dosbox/tone_test.sh $<TARGET_FILE:kavofe>
            ${KAVO_DOS_TONE_EXE} ${CMAKE_BINARY_DIR}/e2e)
  # Given time: a loaded machine slows DOSBox's start.
  set_tests_properties(e2e_dosbox_sound PROPERTIES RESOURCE_LOCK kavo_test_display TIMEOUT 300)
endif()
