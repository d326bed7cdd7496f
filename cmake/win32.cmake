# Windows backends of the core interfaces, and their tests, which run under Wine when cross-built.
file(GLOB KAVO_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/platform/win32/*.cpp)
add_library(kavo_win32 STATIC ${KAVO_WIN32_SOURCES})
target_link_libraries(kavo_win32 PUBLIC kavo_core)
target_compile_definitions(kavo_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# The native program: Win32 views over the presenters, one static GUI executable.
enable_language(RC)
file(GLOB KAVO_WIN32UI_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/ui/win32/*.cpp)
list(REMOVE_ITEM KAVO_WIN32UI_SOURCES ${PROJECT_SOURCE_DIR}/src/ui/win32/main.cpp)
add_library(kavo_win32ui STATIC ${KAVO_WIN32UI_SOURCES})
target_link_libraries(kavo_win32ui PUBLIC kavo_present kavo_win32 comctl32)
add_executable(kavofe WIN32 src/ui/win32/main.cpp src/ui/win32/kavofe.rc)
set_target_properties(kavofe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set_source_files_properties(src/ui/win32/kavofe.rc PROPERTIES OBJECT_DEPENDS
  "${PROJECT_SOURCE_DIR}/src/ui/win32/kavofe.ico;${PROJECT_SOURCE_DIR}/src/ui/win32/kavofe.manifest")
target_link_options(kavofe PRIVATE -municode -s)
target_link_libraries(kavofe PRIVATE kavo_win32ui)
include(cmake/windows_zip.cmake)

if(NOT KAVO_BUILD_TESTS)
  return()
endif()

# A cross build has no GoogleTest for its target: build Debian's sources along. The stub config
# lets the find_package(GTest) further on find these targets.
if(CMAKE_CROSSCOMPILING AND NOT TARGET GTest::gtest)
  set(KAVO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${KAVO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  file(WRITE ${CMAKE_BINARY_DIR}/gtest-stub/GTestConfig.cmake
       "# GoogleTest is built from source in this tree.\n")
  set(GTest_DIR ${CMAKE_BINARY_DIR}/gtest-stub CACHE PATH "" FORCE)
endif()

enable_testing()
include(GoogleTest)
# Under an emulator every process start is costly: list each executable's tests when ctest
# runs, not after every build.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# The one stand-in program the tests start, as the player (a window titled like the player's
# that records the keys it receives) or, given -conf, as dosbox.exe.
add_executable(kavo_probe tests/win32/probe/probe.cpp)
target_link_libraries(kavo_probe PRIVATE kavo_win32)
# Stripped: the Windows end-to-end run cuts a copy to the player's length.
target_link_options(kavo_probe PRIVATE -municode -s)

file(GLOB KAVO_WIN32_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win32/*.cpp)
# The views' tests need the program's resources: its menu and keys.
add_executable(kavo_win32_tests ${KAVO_WIN32_TEST_SOURCES} src/ui/win32/kavofe.rc)
target_include_directories(kavo_win32_tests PRIVATE tests)
target_link_libraries(kavo_win32_tests PRIVATE kavo_win32ui GTest::gtest GTest::gtest_main)
add_dependencies(kavo_win32_tests kavo_probe)
# One desktop, one foreground window and one keyboard for all: these tests take turns.
# The sweep's test needs a write that fails part-way: it runs alone, with its files limited.
gtest_discover_tests(kavo_win32_tests DISCOVERY_TIMEOUT 120 TEST_FILTER -*SweepStaleStages*
  PROPERTIES TIMEOUT 120 RESOURCE_LOCK wine_desktop)
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME Win32Test.SweepStaleStagesWithFilesLimited
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:kavo_win32_tests>
            --gtest_filter=*SweepStaleStages*)
  # Its exit code says nothing when the filter finds no test.
  set_tests_properties(Win32Test.SweepStaleStagesWithFilesLimited PROPERTIES TIMEOUT 300
    RESOURCE_LOCK wine_desktop ENVIRONMENT KAVO_FILE_SIZE_LIMIT=16777216
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\.")
endif()
