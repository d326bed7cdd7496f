<<<<<<< HEAD
# The Debian package: cpack -G DEB in a build configured for the program alone.
set(CPACK_PACKAGE_NAME kavofe)
set(CPACK_PACKAGE_VENDOR "KAVOfe developers")
set(CPACK_PACKAGE_CONTACT "KAVOfe developers <kavofe@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "front end for the SPCPLAY DOS SPC music player")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "KAVOfe keeps the sound options of the DOS SPC player SPCPLAY, lets you pick an SPC file\n"
  "and the player's directory, writes the player's configuration file, starts the player\n"
  "(inside DOSBox) and presses keys in its window from a panel of buttons.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://kavofe.invalid/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The player is a DOS program: without DOSBox the program runs, but only a native player plays.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS dosbox)
set(CPACK_STRIP_FILES ON)
include(CPack)
=======
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
>>>>>>> win32-program
