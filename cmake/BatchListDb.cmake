# The delivered batch-list database: the empty database (both tables and the default list)
# from which each user's own VerkoBatchList.mdb in the data folder is seeded on first use.
# It is built from batch/VerkoBatchList.sql by a small tool (the sqlite3 shell need not be
# installed) and placed beside each executable. Each copy is an output of its own, remade
# only when it is missing or the schema (or the tool) changed; the user's database is never
# written by the build.
add_executable(make_batch_list_db ${CMAKE_SOURCE_DIR}/batch/tools/make_batch_list_db.cpp)
target_link_libraries(make_batch_list_db PRIVATE SQLite::SQLite3)

set(VERKO_BATCH_LIST_SCHEMA ${CMAKE_SOURCE_DIR}/batch/VerkoBatchList.sql)
set(VERKO_BATCH_LIST_DB ${CMAKE_BINARY_DIR}/VerkoBatchList.mdb)
add_custom_command(
  OUTPUT ${VERKO_BATCH_LIST_DB}
  COMMAND make_batch_list_db ${VERKO_BATCH_LIST_SCHEMA} ${VERKO_BATCH_LIST_DB}
  DEPENDS make_batch_list_db ${VERKO_BATCH_LIST_SCHEMA}
  COMMENT "Building the delivered batch-list database VerkoBatchList.mdb"
  VERBATIM)
set(VERKO_BATCH_LIST_DB_COPIES ${VERKO_BATCH_LIST_DB})

# The desktop program is built in a folder of its own and gets its copy there.
if(TARGET verko)
  get_target_property(VERKO_GUI_DIR verko BINARY_DIR)
  set(VERKO_GUI_BATCH_LIST_DB ${VERKO_GUI_DIR}/VerkoBatchList.mdb)
  add_custom_command(
    OUTPUT ${VERKO_GUI_BATCH_LIST_DB}
    COMMAND ${CMAKE_COMMAND} -E copy ${VERKO_BATCH_LIST_DB} ${VERKO_GUI_BATCH_LIST_DB}
    DEPENDS ${VERKO_BATCH_LIST_DB}
    COMMENT "Placing the delivered batch-list database beside the desktop program"
    VERBATIM)
  list(APPEND VERKO_BATCH_LIST_DB_COPIES ${VERKO_GUI_BATCH_LIST_DB})
endif()

add_custom_target(batch_list_db ALL DEPENDS ${VERKO_BATCH_LIST_DB_COPIES})
if(TARGET verko)
  add_dependencies(verko batch_list_db)
endif()
add_dependencies(verko-cli batch_list_db)
