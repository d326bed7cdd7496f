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
