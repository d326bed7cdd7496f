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

  kavo_fuzz_target(fuzz_settings kavo_core)
  kavo_fuzz_target(fuzz_dos_names kavo_core)
  kavo_fuzz_target(fuzz_spc_tag kavo_core)

  add_custom_target(kavo_fuzz DEPENDS ${KAVO_FUZZ_TARGETS})
endif()

