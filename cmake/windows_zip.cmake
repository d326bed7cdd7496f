# kavofe-<version>-win64.zip or -win32.zip: the program and a short README.txt (target kavofe_zip).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KAVO_ZIP_ARCH win64)
else()
  set(KAVO_ZIP_ARCH win32)
endif()
set(KAVO_ZIP ${CMAKE_BINARY_DIR}/kavofe-${PROJECT_VERSION}-${KAVO_ZIP_ARCH}.zip)
set(KAVO_ZIP_DIR ${CMAKE_BINARY_DIR}/zip)
add_custom_command(OUTPUT ${KAVO_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KAVO_ZIP_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KAVO_ZIP_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kavofe> ${KAVO_ZIP_DIR}/kavofe.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/README.txt ${KAVO_ZIP_DIR}/README.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${KAVO_ZIP_DIR}
          ${CMAKE_COMMAND} -E tar cf ${KAVO_ZIP} --format=zip kavofe.exe README.txt
  DEPENDS kavofe ${PROJECT_SOURCE_DIR}/data/README.txt
  VERBATIM)
add_custom_target(kavofe_zip DEPENDS ${KAVO_ZIP})
