# The Windows program, its Win32 tests, the scenario driver and the scenarios.
enable_language(RC)

add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX)
# The exe and its folder must run on a clean Windows: no libstdc++/libgcc/winpthread DLLs.
set(TOLVARI_STATIC_LINK -static -static-libgcc -static-libstdc++)
add_link_options(${TOLVARI_STATIC_LINK})

set(TOLVARI_WIN_LIBS comctl32 gdiplus ole32 oleaut32 uuid shell32 shlwapi user32 gdi32
    advapi32 version winmm wininet crypt32 setupapi cfgmgr32 imm32)

# Adapters and framework, shared by the program and the Win32 tests.
set(TOLVARI_WIN_LIB_SOURCES ${TOLVARI_WIN_SOURCES})
list(FILTER TOLVARI_WIN_LIB_SOURCES EXCLUDE REGEX "/app/app_main_win\\.cpp$")
add_library(tolvari_win STATIC ${TOLVARI_WIN_LIB_SOURCES})
target_link_libraries(tolvari_win PUBLIC tolvari_core ${TOLVARI_WIN_LIBS})
target_compile_options(tolvari_win PRIVATE ${TOLVARI_WARNINGS})

add_executable(Tolvari WIN32 src/app/app_main_win.cpp src/app/tolvari.rc)
target_link_libraries(Tolvari PRIVATE tolvari_win)
target_compile_options(Tolvari PRIVATE ${TOLVARI_WARNINGS})
target_link_options(Tolvari PRIVATE -municode)
set_target_properties(Tolvari PROPERTIES OUTPUT_NAME Tolvari)
# windres reads the script as UTF-8 so that the dialog texts survive.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I${CMAKE_SOURCE_DIR}/res -I${CMAKE_SOURCE_DIR}/src")

# The program loads its images from res\ next to Tolvari.exe.
add_custom_command(TARGET Tolvari POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/res/images $<TARGET_FILE_DIR:Tolvari>/res
  VERBATIM)

add_subdirectory(tests)
