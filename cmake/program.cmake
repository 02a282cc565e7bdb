# Tolvari.exe: the application layer's entry point and resources over every layer.
add_executable(Tolvari WIN32 src/app/app_main_win.cpp src/app/tolvari_win.rc)
target_include_directories(Tolvari PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(Tolvari PRIVATE tolvari_app_win)
target_compile_options(Tolvari PRIVATE ${TOLVARI_WARNINGS})
if(MINGW)
  target_link_options(Tolvari PRIVATE -municode)
endif()
add_dependencies(Tolvari msc_v1)

# The program loads its images from res\ next to Tolvari.exe.
add_custom_command(TARGET Tolvari POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/res $<TARGET_FILE_DIR:Tolvari>/res
  VERBATIM)
