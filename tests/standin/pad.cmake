# Pads the stand-in player with zero bytes to the exact length the front end demands of the
# real one. Usage: cmake -DIN=built -DOUT=padded -DSIZE=bytes -P pad.cmake
file(SIZE "${IN}" size)
if(size GREATER SIZE)
  message(FATAL_ERROR "${IN} is ${size} bytes, more than the ${SIZE} it must be padded to")
endif()
get_filename_component(dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
file(COPY_FILE "${IN}" "${OUT}")
execute_process(COMMAND truncate -s "${SIZE}" "${OUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "could not pad ${OUT}")
endif()
