# cmake --install: the game as a system installs it. The executables and the data files
# stay together in lib/fairholm/ (the game reads its data beside its real executable,
# which follows links), and relative links to the two games go into FAIRHOLM_LINK_DIR
# (bin, or games as Debian has it).
set(FAIRHOLM_LINK_DIR bin CACHE STRING "Folder under the prefix for the links that start the game")
set(FAIRHOLM_INSTALL_DIR lib/fairholm)

# The desktop game, when it is built (FAIRHOLM_SDL), and the headless one.
set(fairholm_programs fairholm-headless)
if(TARGET fairholm)
    list(PREPEND fairholm_programs fairholm)
endif()
install(TARGETS ${fairholm_programs} RUNTIME DESTINATION ${FAIRHOLM_INSTALL_DIR})
set(fairholm_data_files ${FAIRHOLM_GAME_DATA})
list(TRANSFORM fairholm_data_files PREPEND ${FAIRHOLM_PROGRAM_DIR}/)
install(FILES ${fairholm_data_files} DESTINATION ${FAIRHOLM_INSTALL_DIR})
# The mark of a system installation: the game then keeps its saves in the player's data
# folder, whoever owns the folder and whoever plays (root too).
install(CODE "file(WRITE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${FAIRHOLM_INSTALL_DIR}/installed\"
    \"Installed by cmake --install: the saves are kept in the player's data folder.\\n\")")

# Links relative to their own folder, so that the installed tree may be moved (DESTDIR).
file(RELATIVE_PATH fairholm_link_target /${FAIRHOLM_LINK_DIR} /${FAIRHOLM_INSTALL_DIR})
foreach(program ${fairholm_programs})
    install(CODE "
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${FAIRHOLM_LINK_DIR}/${program}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${FAIRHOLM_LINK_DIR}\")
        file(REMOVE \"\${link}\")
        file(CREATE_LINK \"${fairholm_link_target}/${program}\" \"\${link}\" SYMBOLIC)
        message(STATUS \"Installing: \${link} -> ${fairholm_link_target}/${program}\")")
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/fonts/LICENSE DESTINATION share/doc/fairholm RENAME LICENSE.fonts)

# The desktop's view of the game: the menu entry, the icons in hicolor (drawn by
# icongen), the AppStream description and the manual page made from --help.
set(FAIRHOLM_APP_ID io.github.fairholm.Greenvale)
install(FILES ${PROJECT_SOURCE_DIR}/assets/package/${FAIRHOLM_APP_ID}.desktop DESTINATION share/applications)
configure_file(${PROJECT_SOURCE_DIR}/assets/package/${FAIRHOLM_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/desktop/${FAIRHOLM_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${FAIRHOLM_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${FAIRHOLM_ICON_DIR}/fairholm-${size}.png DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME ${FAIRHOLM_APP_ID}.png)
endforeach()
install(FILES ${FAIRHOLM_ICON_DIR}/fairholm.svg DESTINATION share/icons/hicolor/scalable/apps
        RENAME ${FAIRHOLM_APP_ID}.svg)

# The package's own documents: the copyright in Debian's form and the changelog.
install(FILES ${PROJECT_SOURCE_DIR}/assets/package/copyright DESTINATION share/doc/fairholm)
configure_file(${PROJECT_SOURCE_DIR}/assets/package/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
    COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/package/changelog
    DEPENDS ${CMAKE_BINARY_DIR}/package/changelog)
add_custom_target(fairholm_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz DESTINATION share/doc/fairholm)

# Manual pages made from each game's --help and --version (programs of this machine only:
# help2man starts them itself).
find_program(FAIRHOLM_HELP2MAN help2man)
if(FAIRHOLM_HELP2MAN AND NOT CMAKE_CROSSCOMPILING)
    set(man_pages)
    foreach(program ${fairholm_programs})
        if(program STREQUAL fairholm)
            set(name "golf over eighteen holes in six landscapes")
        else()
            set(name "the golf game without a window, for tests and pictures")
        endif()
        set(man ${CMAKE_BINARY_DIR}/man/${program}.6)
        # HOME as "~" so that the page names the settings files as every reader has them.
        add_custom_command(OUTPUT ${man}.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
            COMMAND ${CMAKE_COMMAND} -E env --unset=XDG_CONFIG_HOME HOME=~ ${FAIRHOLM_HELP2MAN} --no-info
                    --section=6 --name=${name} --output=${man} $<TARGET_FILE:${program}>
            COMMAND gzip -9nf ${man}
            DEPENDS ${program}
            VERBATIM)
        list(APPEND man_pages ${man}.gz)
    endforeach()
    add_custom_target(fairholm_man ALL DEPENDS ${man_pages})
    install(FILES ${man_pages} DESTINATION share/man/man6)
elseif(NOT CMAKE_CROSSCOMPILING)
    message(STATUS "help2man not found: no manual pages (make deps installs it)")
endif()
