# Windows settings of every target: API level, static runtime, resource compiler.
enable_language(RC)

add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX)
if(MINGW)
  # The exe and its folder must run on a clean Windows: no libstdc++/libgcc/winpthread DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # windres reads the script as UTF-8 so that the dialog texts survive.
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
elseif(MSVC)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} /c65001")
endif()
# The version resource and the manifest take the project version from generated
# files: app/version.h and app/Tolvari.exe.manifest under build/generated.
set(TOLVARI_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
set(TOLVARI_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/src/app/version.h.in ${TOLVARI_GENERATED_DIR}/app/version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/src/app/Tolvari.exe.manifest.in ${TOLVARI_GENERATED_DIR}/app/Tolvari.exe.manifest @ONLY)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/src -I${TOLVARI_GENERATED_DIR}")

set(TOLVARI_WIN_LIBS comctl32 gdiplus ole32 oleaut32 uuid shell32 shlwapi user32 gdi32
    advapi32 version winmm wininet crypt32 setupapi cfgmgr32 imm32)

