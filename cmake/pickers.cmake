# The two pickers: Qt windows over the picker logic in kavo_core.
file(GLOB KAVO_PICKERS_SOURCES CONFIGURE_DEPENDS src/ui/qt/pickers/*.cpp)
if(KAVO_PICKERS_SOURCES)
  add_library(kavo_pickers STATIC ${KAVO_PICKERS_SOURCES})
  target_link_libraries(kavo_pickers PUBLIC kavo_present Qt6::Widgets)
endif()

if(KAVO_BUILD_TESTS)
  file(GLOB KAVO_PICKER_TEST_SOURCES CONFIGURE_DEPENDS tests/picker/*.cpp)
  add_executable(kavo_picker_tests ${KAVO_PICKER_TEST_SOURCES})
  target_include_directories(kavo_picker_tests PRIVATE tests)
  target_link_libraries(kavo_picker_tests PRIVATE kavo_posix GTest::gtest GTest::gtest_main)
  gtest_discover_tests(kavo_picker_tests DISCOVERY_TIMEOUT 60)
endif()
