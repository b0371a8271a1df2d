# The delivered batch-list database: built from batch/VerkoBatchList.sql by a small tool
# (the sqlite3 shell need not be installed) and placed beside the executables.
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
add_custom_target(batch_list_db ALL DEPENDS ${VERKO_BATCH_LIST_DB})

# The desktop program may be built in a folder of its own: it gets a copy beside it, also
# when only the program is built (its batch window opens that file).
if(TARGET verko)
  add_dependencies(verko batch_list_db)
  add_custom_command(TARGET batch_list_db POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VERKO_BATCH_LIST_DB}
            $<TARGET_FILE_DIR:verko>/VerkoBatchList.mdb
    VERBATIM)
endif()

# verko-cli finds the database beside itself by default.
add_dependencies(verko-cli batch_list_db)
