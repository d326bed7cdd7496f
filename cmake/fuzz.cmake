# libFuzzer targets (clang only): cmake -DCMAKE_CXX_COMPILER=clang++ -DKAVO_FUZZ=ON.
# The libraries they reach are rebuilt with the same instrumentation.
option(KAVO_FUZZ "Build the fuzz targets (needs clang)" OFF)

if(KAVO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KAVO_FUZZ needs clang (CMAKE_CXX_COMPILER=clang++)")
  endif()
  set(KAVO_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  foreach(lib kavo_core kavo_posix)
    target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link ${KAVO_FUZZ_SANITIZERS})
  endforeach()

  function(kavo_fuzz_target name)
    add_executable(${name} fuzz/${name}.cpp)
    target_include_directories(${name} PRIVATE tests fuzz)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer ${KAVO_FUZZ_SANITIZERS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer ${KAVO_FUZZ_SANITIZERS})
    target_link_libraries(${name} PRIVATE ${ARGN})
    list(APPEND KAVO_FUZZ_TARGETS ${name})
    set(KAVO_FUZZ_TARGETS ${KAVO_FUZZ_TARGETS} PARENT_SCOPE)
  endfunction()

  kavo_fuzz_target(fuzz_volume kavo_core)
  kavo_fuzz_target(fuzz_settings_ops kavo_core)
  kavo_fuzz_target(fuzz_writecfg kavo_core)
  kavo_fuzz_target(fuzz_sendkey kavo_core)
  kavo_fuzz_target(fuzz_dos_names kavo_core)
  kavo_fuzz_target(fuzz_spc_tag kavo_core)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/src/picker/check_filter.h)
    kavo_fuzz_target(fuzz_check_filter kavo_core)
  endif()

  # The INI store needs only Qt Core; the fuzz build does not need the windows.
  find_package(Qt6 QUIET COMPONENTS Core)
  if(Qt6_FOUND)
    add_library(kavo_fuzz_qtstore STATIC src/settings/qt/qsettings_store.cpp)
    target_link_libraries(kavo_fuzz_qtstore PUBLIC kavo_core Qt6::Core)
    target_compile_options(kavo_fuzz_qtstore PRIVATE -fsanitize=fuzzer-no-link
                           ${KAVO_FUZZ_SANITIZERS})
    kavo_fuzz_target(fuzz_settings_store kavo_fuzz_qtstore)
  endif()

  add_custom_target(kavo_fuzz DEPENDS ${KAVO_FUZZ_TARGETS})
endif()

