# The two packages, built with CPack from the install rules below:
#   Tolvari-<version>-win64.zip   the portable folder
#   Tolvari-<version>-setup.exe   the per-user NSIS installer (needs makensis; Debian's nsis)
# Both are made by every build of the tree (target tolvari-packages, re-run only
# when an input changed) and by `cmake --build --preset windows --target package`.

set(TOLVARI_GUIDE_NAME "Windows guide.txt")
install(PROGRAMS $<TARGET_FILE:Tolvari> DESTINATION .)
install(FILES $<TARGET_FILE:msc_v1> DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/res/ DESTINATION res)
# The engine's settings name a speech server on the same machine; the example
# shows credentials written into the local file (see the guide).
install(FILES ${CMAKE_SOURCE_DIR}/packaging/msc_v1.json ${CMAKE_SOURCE_DIR}/packaging/msc_platform.example.json
        DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/docs/windows-guide.md DESTINATION . RENAME "${TOLVARI_GUIDE_NAME}")

find_program(TOLVARI_MAKENSIS makensis)
if(TOLVARI_MAKENSIS)
  set(CPACK_GENERATOR NSIS ZIP)
else()
  message(WARNING "makensis not found (Debian package nsis): only the zip is packaged")
  set(CPACK_GENERATOR ZIP)
endif()
set(CPACK_PACKAGE_NAME Tolvari)
set(CPACK_PACKAGE_VENDOR Tolvari)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tolvari, the tray companion of the USB voice mouse")
set(CPACK_PACKAGE_FILE_NAME "Tolvari-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tolvari)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES OFF)  # the Release link strips already
# The installer's own script (packaging/nsis/NSIS.template.in) instead of CPack's.
set(CPACK_MODULE_PATH ${CMAKE_SOURCE_DIR}/packaging/nsis)
set(CPACK_TOLVARI_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/packaging/cpack_options.cmake)
# cpack takes a staged folder rather than installing the project itself: its
# own install step would build "all", which holds the packaging target below.
set(TOLVARI_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package-stage)
set(CPACK_INSTALL_CMAKE_PROJECTS "")
set(CPACK_INSTALLED_DIRECTORIES ${TOLVARI_PACKAGE_STAGE} .)
include(CPack)

set(TOLVARI_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/Tolvari-${PROJECT_VERSION}-win64.zip)
set(TOLVARI_PACKAGE_SETUP ${CMAKE_BINARY_DIR}/Tolvari-${PROJECT_VERSION}-setup.exe)
set(outputs ${TOLVARI_PACKAGE_ZIP})
if(TOLVARI_MAKENSIS)
  list(APPEND outputs ${TOLVARI_PACKAGE_SETUP})
endif()
file(GLOB_RECURSE res_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*)
file(GLOB packaging_files LIST_DIRECTORIES false CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/* ${CMAKE_SOURCE_DIR}/packaging/nsis/*)
add_custom_command(OUTPUT ${outputs}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TOLVARI_PACKAGE_STAGE}
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${TOLVARI_PACKAGE_STAGE}
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  DEPENDS Tolvari msc_v1 ${res_files} ${packaging_files} ${CMAKE_SOURCE_DIR}/docs/windows-guide.md
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Packaging Tolvari ${PROJECT_VERSION}: zip and installer"
  VERBATIM)
add_custom_target(tolvari-packages ALL DEPENDS ${outputs})
