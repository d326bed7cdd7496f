# Google Benchmark figures, each against a bare baseline of the same run (scripts/bench.sh).
find_package(benchmark QUIET)
option(KAVO_BENCH "Build the benchmarks" ${benchmark_FOUND})

if(KAVO_BENCH AND NOT WIN32)
  if(NOT benchmark_FOUND)
    message(FATAL_ERROR "KAVO_BENCH needs Google Benchmark (libbenchmark-dev)")
  endif()
  find_package(X11 QUIET)

  add_library(kavo_bench_support STATIC bench/bench_support.cpp)
  target_include_directories(kavo_bench_support PUBLIC bench)

  add_executable(kavo_bench bench/bench_main.cpp bench/launch_bench.cpp bench/picker_bench.cpp)
  target_link_libraries(kavo_bench PRIVATE kavo_bench_support kavo_posix benchmark::benchmark)

  # The player the launch starts; without a display it ends at once.
  if(X11_FOUND AND TARGET X11::Xtst)
    add_executable(kavo_bench_standin bench/bench_standin.cpp)
    target_link_libraries(kavo_bench_standin PRIVATE X11::X11)
    add_dependencies(kavo_bench kavo_bench_standin)
    set(KAVO_BENCH_PLAYER $<TARGET_FILE:kavo_bench_standin>)
  else()
    set(KAVO_BENCH_PLAYER /bin/true)
  endif()
  target_compile_definitions(kavo_bench PRIVATE KAVO_BENCH_PLAYER="${KAVO_BENCH_PLAYER}")

  if(TARGET kavo_ui)
    add_executable(kavo_bench_bare_qt bench/probe_bare_qt.cpp)
    target_link_libraries(kavo_bench_bare_qt PRIVATE Qt6::Widgets)
    add_executable(kavo_bench_kavofe bench/probe_kavofe.cpp)
    target_link_libraries(kavo_bench_kavofe PRIVATE kavo_program)
    target_sources(kavo_bench PRIVATE bench/startup_bench.cpp)
    target_compile_definitions(kavo_bench PRIVATE KAVO_BENCH_HAVE_UI
      KAVO_BENCH_BARE_QT="$<TARGET_FILE:kavo_bench_bare_qt>"
      KAVO_BENCH_KAVOFE="$<TARGET_FILE:kavo_bench_kavofe>")
    add_dependencies(kavo_bench kavo_bench_bare_qt kavo_bench_kavofe)

    if(TARGET kavo_x11 AND TARGET kavo_bench_standin)
      target_sources(kavo_bench PRIVATE bench/remote_bench.cpp)
      target_link_libraries(kavo_bench PRIVATE X11::X11 X11::Xtst)
      target_compile_definitions(kavo_bench PRIVATE KAVO_BENCH_HAVE_REMOTE
        KAVO_BENCH_STANDIN="$<TARGET_FILE:kavo_bench_standin>")
    endif()
  endif()

  # The DOS player inside DOSBox: the DOS probe is defined after this file (cmake/dosbox.cmake,
  # only with nasm), and the key figures need the X remote.
  function(kavo_bench_dosbox)
    if(TARGET kavo_dos_tone)
      target_sources(kavo_bench PRIVATE bench/dosbox_speed_bench.cpp)
      target_compile_definitions(kavo_bench PRIVATE KAVO_BENCH_HAVE_DOSBOX_SPEED
        KAVO_BENCH_DOS_TONE="${KAVO_DOS_TONE_EXE}")
      add_dependencies(kavo_bench kavo_dos_tone)
    endif()
    if(NOT TARGET kavo_dos_probe OR NOT TARGET kavo_x11)
      return()
    endif()
    target_sources(kavo_bench PRIVATE bench/dosbox_bench.cpp)
    target_link_libraries(kavo_bench PRIVATE kavo_x11 X11::X11 X11::Xtst)
    target_compile_definitions(kavo_bench PRIVATE KAVO_BENCH_HAVE_DOSBOX
      KAVO_BENCH_DOS_PROBE="${KAVO_DOS_PROBE_EXE}")
    add_dependencies(kavo_bench kavo_dos_probe)
  endfunction()
  cmake_language(DEFER CALL kavo_bench_dosbox)
endif()
