# One static library per source folder. Sources are globbed so that adding a
# file needs no edit here; CONFIGURE_DEPENDS makes Ninja notice new files.
set(ZV_WARNINGS -Wall -Wextra)

function(zv_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  if(NOT ARG_DIRS)
    set(ARG_DIRS .)
  endif()
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    # A library is declared once its folder holds code: an empty one would
    # hide a dependency that nothing uses.
    message(FATAL_ERROR "${name}: no source in ${ARG_DIRS} of ${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${ZV_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()
