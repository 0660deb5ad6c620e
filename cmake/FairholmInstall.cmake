# cmake --install: the game as a system installs it. The executables and the data files
# stay together in lib/fairholm/ (the game reads its data beside its real executable,
# which follows links), and relative links to the two games go into FAIRHOLM_LINK_DIR
# (bin, or games as Debian has it).
set(FAIRHOLM_LINK_DIR bin CACHE STRING "Folder under the prefix for the links that start the game")
set(FAIRHOLM_INSTALL_DIR lib/fairholm)

install(TARGETS fairholm fairholm-headless RUNTIME DESTINATION ${FAIRHOLM_INSTALL_DIR})
set(fairholm_data_files golf.bin f10.bin f13.bin f16.bin help.txt arrow music swing hit incup water
    holes_1-3 holes_4-6 holes_7-9 holes_10-12 holes_13-15 holes_16-18)
list(TRANSFORM fairholm_data_files PREPEND ${FAIRHOLM_PROGRAM_DIR}/)
install(FILES ${fairholm_data_files} DESTINATION ${FAIRHOLM_INSTALL_DIR})
# The mark of a system installation: the game then keeps its saves in the player's data
# folder, whoever owns the folder and whoever plays (root too).
install(CODE "file(WRITE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${FAIRHOLM_INSTALL_DIR}/installed\"
    \"Installed by cmake --install: the saves are kept in the player's data folder.\\n\")")

# Links relative to their own folder, so that the installed tree may be moved (DESTDIR).
file(RELATIVE_PATH fairholm_link_target /${FAIRHOLM_LINK_DIR} /${FAIRHOLM_INSTALL_DIR})
foreach(program fairholm fairholm-headless)
    install(CODE "
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${FAIRHOLM_LINK_DIR}/${program}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${FAIRHOLM_LINK_DIR}\")
        file(REMOVE \"\${link}\")
        file(CREATE_LINK \"${fairholm_link_target}/${program}\" \"\${link}\" SYMBOLIC)
        message(STATUS \"Installing: \${link} -> ${fairholm_link_target}/${program}\")")
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION share/doc/fairholm)
install(FILES ${PROJECT_SOURCE_DIR}/assets/fonts/LICENSE DESTINATION share/doc/fairholm RENAME LICENSE.fonts)
