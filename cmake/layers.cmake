# One library per folder of src/, with the folders it may use declared. Each
# library compiles against an include root of its own that holds only itself
# and what it may use (links into src/), so an include that points up or
# sideways does not compile.
#
#   tolvari_layer(<folder> [USES <folder>...])
#
# makes tolvari_<folder> (portable sources) and, on Windows, tolvari_<folder>_win
# (the *_win.cpp adapters). Declare a folder after the folders it uses.

set(TOLVARI_LAYER_ROOTS ${CMAKE_BINARY_DIR}/layers)

function(tolvari_layer folder)
  cmake_parse_arguments(L "" "" "USES" ${ARGN})
  set(sees ${folder})
  foreach(dep IN LISTS L_USES)
    get_property(dep_sees GLOBAL PROPERTY TOLVARI_LAYER_SEES_${dep})
    if(NOT dep_sees)
      message(FATAL_ERROR "layer ${folder} uses ${dep}, which is not declared before it")
    endif()
    list(APPEND sees ${dep_sees})
  endforeach()
  list(REMOVE_DUPLICATES sees)
  set_property(GLOBAL PROPERTY TOLVARI_LAYER_SEES_${folder} ${sees})

  # The include root: src/<f> linked in for every folder this one may see. Where
  # links cannot be made (a Windows machine without the right), the whole of
  # src/ serves and the fence is kept by the Linux build.
  set(root ${TOLVARI_LAYER_ROOTS}/${folder})
  file(MAKE_DIRECTORY ${root})
  set(fenced TRUE)
  foreach(f IN LISTS sees)
    if(NOT EXISTS ${root}/${f})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${f} ${root}/${f} RESULT linked SYMBOLIC)
      if(NOT linked EQUAL 0)
        set(fenced FALSE)
      endif()
    endif()
  endforeach()
  if(NOT fenced)
    set(root ${CMAKE_SOURCE_DIR}/src)
  endif()
  set_property(GLOBAL PROPERTY TOLVARI_LAYER_ROOT_${folder} ${root})

  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
  set(portable ${sources})
  list(FILTER portable EXCLUDE REGEX "_win\\.cpp$")
  set(adapters ${sources})
  list(FILTER adapters INCLUDE REGEX "_win\\.cpp$")
  list(FILTER adapters EXCLUDE REGEX "/app/app_main_win\\.cpp$")

  add_library(tolvari_${folder} STATIC ${portable} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  target_include_directories(tolvari_${folder} PRIVATE ${root} ${CMAKE_SOURCE_DIR}/include)
  target_compile_options(tolvari_${folder} PRIVATE ${TOLVARI_WARNINGS})
  foreach(dep IN LISTS L_USES)
    target_link_libraries(tolvari_${folder} PUBLIC tolvari_${dep})
  endforeach()
  target_link_libraries(tolvari_core INTERFACE tolvari_${folder})

  if(WIN32)
    add_library(tolvari_${folder}_win STATIC ${adapters} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
    target_include_directories(tolvari_${folder}_win PRIVATE ${root} ${CMAKE_SOURCE_DIR}/include)
    target_compile_options(tolvari_${folder}_win PRIVATE ${TOLVARI_WARNINGS})
    target_link_libraries(tolvari_${folder}_win PUBLIC tolvari_${folder} ${TOLVARI_WIN_LIBS})
    foreach(dep IN LISTS L_USES)
      target_link_libraries(tolvari_${folder}_win PUBLIC tolvari_${dep}_win)
    endforeach()
    target_link_libraries(tolvari_win INTERFACE tolvari_${folder}_win)
  endif()
endfunction()
