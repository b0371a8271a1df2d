# Text from documents: the layer documents/ (no library of its own, linked into the core) and
# the document module libverko_documents.so, which links the zip reader, the XML parser and
# poppler's C++ library and is loaded by the layer when the first document is read, so that
# no text comparison's start-up pays for them. The module lies beside the programs in the
# build tree and in lib/verko/modules/ when installed; the programs find it relative to themselves.
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
pkg_check_modules(POPPLER_CPP REQUIRED IMPORTED_TARGET poppler-cpp)
find_package(pugixml REQUIRED)

verko_layer(verko_documents documents LINKS verko_platform)

file(GLOB VERKO_DOCUMENTS_MODULE_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/documents/module/*.cpp)
add_library(verko_documents_module MODULE ${VERKO_DOCUMENTS_MODULE_SOURCES})
set_target_properties(verko_documents_module PROPERTIES
  OUTPUT_NAME verko_documents PREFIX lib
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(verko_documents_module PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(verko_documents_module PRIVATE PkgConfig::LIBZIP PkgConfig::POPPLER_CPP
                      pugixml::pugixml)
# Every program of the build tree finds it beside itself: the desktop program and the tests
# live in folders of their own.
add_custom_command(TARGET verko_documents_module POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/ui ${CMAKE_BINARY_DIR}/tests
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:verko_documents_module>
          ${CMAKE_BINARY_DIR}/ui/
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:verko_documents_module>
          ${CMAKE_BINARY_DIR}/tests/
  VERBATIM)
# Whatever links the layer needs the module built.
add_dependencies(verko_documents verko_documents_module)
