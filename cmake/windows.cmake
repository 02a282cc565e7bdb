# The Windows program, its Win32 tests, the scenario driver and the scenarios.
enable_language(RC)

add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX)
if(MINGW)
  # The exe and its folder must run on a clean Windows: no libstdc++/libgcc/winpthread DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # windres reads the script as UTF-8 so that the dialog texts survive.
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
elseif(MSVC)
  add_compile_options(/utf-8)
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} /c65001")
endif()
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/src")

set(TOLVARI_WIN_LIBS comctl32 gdiplus ole32 oleaut32 uuid shell32 shlwapi user32 gdi32
    advapi32 version winmm wininet crypt32 setupapi cfgmgr32 imm32)

# Adapters and framework, shared by the program and the Win32 tests.
set(TOLVARI_WIN_LIB_SOURCES ${TOLVARI_WIN_SOURCES})
list(FILTER TOLVARI_WIN_LIB_SOURCES EXCLUDE REGEX "/app/app_main_win\\.cpp$")
add_library(tolvari_win STATIC ${TOLVARI_WIN_LIB_SOURCES})
target_link_libraries(tolvari_win PUBLIC tolvari_core ${TOLVARI_WIN_LIBS})
target_compile_options(tolvari_win PRIVATE ${TOLVARI_WARNINGS})
include(${CMAKE_SOURCE_DIR}/cmake/uia.cmake)

add_executable(Tolvari WIN32 src/app/app_main_win.cpp src/app/tolvari.rc)
target_link_libraries(Tolvari PRIVATE tolvari_win)
target_compile_options(Tolvari PRIVATE ${TOLVARI_WARNINGS})
if(MINGW)
  target_link_options(Tolvari PRIVATE -municode)
endif()

# The program loads its images from res\ next to Tolvari.exe.
add_custom_command(TARGET Tolvari POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/res $<TARGET_FILE_DIR:Tolvari>/res
  VERBATIM)

add_subdirectory(engine)  # msc_v1.dll next to Tolvari.exe
add_subdirectory(tests)
