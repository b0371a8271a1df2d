# One library per layer. A layer's sources are the .cpp files of its folder; its headers
# are seen by the layer itself and by the layers that link it, and by nothing else: every
# layer gets an include folder of its own in the build tree that holds links to the headers
# of its folder only (under the same path, "compare/lines/progress.h"). A layer links only
# the layers below it, so an include of a caller's header does not compile.

# verko_layer_headers(TARGET FOLDER SCOPE): gives TARGET the headers of FOLDER (the .h files
# directly in it) through its include folder, with SCOPE PUBLIC, PRIVATE or INTERFACE.
function(verko_layer_headers target folder scope)
  set(dir ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${dir}/${folder}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${dir})
endfunction()

# verko_layer(TARGET FOLDER [EXCLUDE FILE ...] [LINKS LIBRARY ...]): the static library of
# the layer in FOLDER, linking the layers (and libraries) below it.
function(verko_layer target folder)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "" "" "EXCLUDE;LINKS")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  foreach(excluded IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${folder}/${excluded})
  endforeach()
  add_library(${target} STATIC ${sources})
  verko_layer_headers(${target} ${folder} PUBLIC)
  target_link_libraries(${target} PUBLIC ${ARG_LINKS})
endfunction()
