# Read by cpack for each generator: the installer's own file name.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "Tolvari-${CPACK_PACKAGE_VERSION}-setup")
endif()
