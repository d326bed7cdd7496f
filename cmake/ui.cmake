# The Qt program, its widget tests and its installation.
file(GLOB KAVO_UI_SOURCES CONFIGURE_DEPENDS src/ui/qt/*.cpp)
list(REMOVE_ITEM KAVO_UI_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/qt/main.cpp
     ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/qt/program.cpp)
add_library(kavo_ui STATIC ${KAVO_UI_SOURCES})
target_link_libraries(kavo_ui PUBLIC kavo_present Qt6::Widgets)
qt_add_resources(kavo_ui kavo_ui_icon PREFIX "/" BASE data FILES data/kavofe.png)
if(TARGET kavo_pickers)
  target_link_libraries(kavo_ui PUBLIC kavo_pickers)
endif()

# The window with this platform's backends, as the program and its benchmark probe run it.
add_library(kavo_program STATIC src/ui/qt/program.cpp)
target_link_libraries(kavo_program PUBLIC kavo_ui)
if(WIN32)
  target_link_libraries(kavo_program PUBLIC kavo_win32)
else()
  target_link_libraries(kavo_program PUBLIC kavo_posix kavo_qtstore)
endif()
if(TARGET kavo_x11)
  target_link_libraries(kavo_program PUBLIC kavo_x11)
  target_compile_definitions(kavo_program PRIVATE KAVO_HAVE_X11)
endif()

add_executable(kavofe src/ui/qt/main.cpp)
set_target_properties(kavofe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(kavofe PRIVATE kavo_program)
if(WIN32)
  set_target_properties(kavofe PROPERTIES WIN32_EXECUTABLE ON)
endif()

install(TARGETS kavofe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/kavofe.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/kavofe.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)

if(KAVO_BUILD_TESTS)
  file(GLOB KAVO_UI_TEST_SOURCES CONFIGURE_DEPENDS tests/ui/*.cpp)
  add_executable(kavo_ui_tests ${KAVO_UI_TEST_SOURCES} tests/qt_test_main.cpp)
  target_include_directories(kavo_ui_tests PRIVATE tests)
  target_link_libraries(kavo_ui_tests PRIVATE kavo_ui kavo_qtstore Qt6::Test GTest::gtest)
  gtest_discover_tests(kavo_ui_tests DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endif()

if(KAVO_BUILD_TESTS)
  add_test(NAME kavofe_install
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DBINDIR=${CMAKE_INSTALL_BINDIR} -DDATADIR=${CMAKE_INSTALL_DATADIR}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/tests/ui/install_check.cmake)
endif()
