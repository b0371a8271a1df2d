# Shell completion, where bash-completion and zsh look for it under the prefix:
#   share/bash-completion/completions/verko-cli, .../verko: verko.bash, which completes both
#     commands, under each command's name (bash-completion loads a command's completion from
#     the file of that name when the command is first completed)
#   share/zsh/vendor-completions/_verko: _verko, for both commands
# Both are written into build/completions from their templates in completions/, with
# verko-cli's options put in from its option table (cli/cli_option_table.h).
include(GNUInstallDirs)

add_executable(make_completions ${CMAKE_SOURCE_DIR}/cli/tools/make_completions.cpp)
target_link_libraries(make_completions PRIVATE verko_cli)
set(VERKO_COMPLETIONS_DIR ${CMAKE_BINARY_DIR}/completions)
set(VERKO_COMPLETIONS)
foreach(name verko.bash _verko)
  add_custom_command(
    OUTPUT ${VERKO_COMPLETIONS_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VERKO_COMPLETIONS_DIR}
    COMMAND make_completions ${CMAKE_SOURCE_DIR}/completions/${name}.in
            ${VERKO_COMPLETIONS_DIR}/${name}
    DEPENDS make_completions ${CMAKE_SOURCE_DIR}/completions/${name}.in
    COMMENT "Writing the ${name} shell completion from the option table"
    VERBATIM)
  list(APPEND VERKO_COMPLETIONS ${VERKO_COMPLETIONS_DIR}/${name})
endforeach()
add_custom_target(completions ALL DEPENDS ${VERKO_COMPLETIONS})

install(FILES ${VERKO_COMPLETIONS_DIR}/verko.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME verko-cli)
if(TARGET verko)
  install(FILES ${VERKO_COMPLETIONS_DIR}/verko.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME verko)
endif()
install(FILES ${VERKO_COMPLETIONS_DIR}/_verko
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
