# Remote control of the player's window over X11, the stand-in player and the window tests.
find_package(X11 REQUIRED)
if(NOT TARGET X11::Xtst)
  message(FATAL_ERROR "the XTest library (libxtst-dev) is missing")
endif()

file(GLOB KAVO_X11_SOURCES CONFIGURE_DEPENDS src/platform/x11/*.cpp)
add_library(kavo_x11 STATIC ${KAVO_X11_SOURCES})
target_link_libraries(kavo_x11 PUBLIC kavo_core PRIVATE X11::X11 X11::Xtst)

if(KAVO_BUILD_TESTS)
  # A window titled SPCPLAY (xev) that logs what it is given, installed under the player's
  # name and length so that the front end accepts it.
  set(KAVO_STANDIN_EXE ${CMAKE_BINARY_DIR}/standin/SPCPLAY.EXE)
  add_custom_command(OUTPUT ${KAVO_STANDIN_EXE}
    COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_CURRENT_SOURCE_DIR}/tests/standin/standin.sh
            -DOUT=${KAVO_STANDIN_EXE} -DSIZE=913758
            -P ${CMAKE_CURRENT_SOURCE_DIR}/tests/standin/pad.cmake
    DEPENDS tests/standin/standin.sh tests/standin/pad.cmake
    COMMENT "Padding the stand-in player to SPCPLAY.EXE"
    VERBATIM)
  add_custom_target(kavo_standin_player ALL DEPENDS ${KAVO_STANDIN_EXE})

  # The tests share one X server and its keyboard focus: they must not run at the same time.
  file(GLOB KAVO_X11_TEST_SOURCES CONFIGURE_DEPENDS tests/x11/*.cpp)
  add_executable(kavo_x11_tests ${KAVO_X11_TEST_SOURCES})
  target_link_libraries(kavo_x11_tests PRIVATE kavo_x11 X11::X11 X11::Xtst GTest::gtest
                        GTest::gtest_main)
  gtest_discover_tests(kavo_x11_tests DISCOVERY_TIMEOUT 60
    PROPERTIES RESOURCE_LOCK kavo_test_display)

  # The real program under the test display, once the program target exists (it is defined
  # after this file).
  function(kavo_add_e2e_tests)
    if(NOT TARGET kavofe)
      return()
    endif()
    add_test(NAME e2e_main_window
      COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/main_window_e2e.sh $<TARGET_FILE:kavofe>
              ${KAVO_STANDIN_EXE} ${CMAKE_BINARY_DIR}/e2e)
    set_tests_properties(e2e_main_window PROPERTIES RESOURCE_LOCK kavo_test_display TIMEOUT 180)
  endfunction()
  cmake_language(DEFER CALL kavo_add_e2e_tests)
endif()
