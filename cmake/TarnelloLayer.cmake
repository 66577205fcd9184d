# One static library per layer folder. Sources are picked up from the folder
# (and its sub-folders) so that adding a unit needs no build-file edit.
function(tarnello_layer target dir)
  cmake_parse_arguments(L "" "" "DEPENDS;SYSTEM" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       "${CMAKE_SOURCE_DIR}/${dir}/*.cpp" "${CMAKE_SOURCE_DIR}/${dir}/*.c")
  # Sub-layers living below this folder belong to their own targets.
  foreach(exclude IN LISTS TARNELLO_LAYER_EXCLUDES_${target})
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${exclude}/")
  endforeach()
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${L_DEPENDS} ${L_SYSTEM})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${L_DEPENDS} ${L_SYSTEM})
  endif()
endfunction()
