# Shell completion, where bash-completion and zsh look for it under the prefix:
#   share/bash-completion/completions/verko-cli, .../verko: completions/verko.bash, which
#     completes both commands, under each command's name (bash-completion loads a command's
#     completion from the file of that name when the command is first completed)
#   share/zsh/vendor-completions/_verko: completions/_verko, for both commands
include(GNUInstallDirs)

install(FILES ${CMAKE_SOURCE_DIR}/completions/verko.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME verko-cli)
if(TARGET verko)
  install(FILES ${CMAKE_SOURCE_DIR}/completions/verko.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME verko)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/completions/_verko
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
