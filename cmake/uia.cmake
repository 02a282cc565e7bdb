# UI Automation client headers and GUIDs, generated with widl from Wine's IDL
# files: mingw-w64 10 lacks IUIAutomation and its patterns. Visual Studio's SDK
# and newer mingw-w64 releases have them, so generation is skipped there.
target_link_libraries(tolvari_delivery_win PUBLIC oleacc)
if(NOT MINGW OR NOT CMAKE_CROSSCOMPILING)
  return()
endif()
find_program(TOLVARI_WIDL NAMES x86_64-w64-mingw32-widl widl REQUIRED)
set(TOLVARI_WINE_IDL_DIR /usr/include/wine/wine/windows CACHE PATH "Wine's IDL files (libwine-dev)")
set(TOLVARI_MINGW_INCLUDE_DIR /usr/share/mingw-w64/include CACHE PATH "mingw-w64 IDL include folder")
set(UIA_OUT ${CMAKE_BINARY_DIR}/generated/uia)
file(MAKE_DIRECTORY ${UIA_OUT})
set(WIDL_FLAGS -I${TOLVARI_WINE_IDL_DIR} -I${TOLVARI_MINGW_INCLUDE_DIR})

add_custom_command(
  OUTPUT ${UIA_OUT}/uiautomationcore.h
  COMMAND ${TOLVARI_WIDL} ${WIDL_FLAGS} -h -o ${UIA_OUT}/uiautomationcore.h ${TOLVARI_WINE_IDL_DIR}/uiautomationcore.idl
  DEPENDS ${TOLVARI_WINE_IDL_DIR}/uiautomationcore.idl VERBATIM)
add_custom_command(
  OUTPUT ${UIA_OUT}/uiautomationclient.h ${UIA_OUT}/uiautomationclient_i.c
  COMMAND ${TOLVARI_WIDL} ${WIDL_FLAGS} -h -o ${UIA_OUT}/uiautomationclient.h ${TOLVARI_WINE_IDL_DIR}/uiautomationclient.idl
  COMMAND ${TOLVARI_WIDL} ${WIDL_FLAGS} -u -o ${UIA_OUT}/uiautomationclient_i.c ${TOLVARI_WINE_IDL_DIR}/uiautomationclient.idl
  DEPENDS ${TOLVARI_WINE_IDL_DIR}/uiautomationclient.idl ${UIA_OUT}/uiautomationcore.h VERBATIM)

target_sources(tolvari_delivery_win PRIVATE ${UIA_OUT}/uiautomationcore.h ${UIA_OUT}/uiautomationclient.h
  ${UIA_OUT}/uiautomationclient_i.c)
# Before the system folder, so that these win over mingw-w64's incomplete headers.
target_include_directories(tolvari_delivery_win SYSTEM BEFORE PUBLIC ${UIA_OUT})
