# Installing the game like any terminal game. `cmake --install build --prefix P` puts the
# launcher at P/bin/korva, the game under P/libexec/korva, its data under P/share/korva/fichiers,
# the manual page and the documentation; `cpack -G DEB` packs that tree for Debian. On Windows the
# install is a portable folder, korva.exe with fichiers/ beside it (`cpack -G ZIP`).
set(KORVA_VERSION ${PROJECT_VERSION})
set(KORVA_DATE 2026-12-06)
set(CPACK_PACKAGE_CONTACT "the KORVA developers <korva@example.org>"
    CACHE STRING "Who answers for the packages: Debian's Maintainer field")

set(KORVA_DONNEES_LIVREES
    ${PROJECT_SOURCE_DIR}/fichiers/niveaux
    ${PROJECT_SOURCE_DIR}/fichiers/presentation
    ${PROJECT_SOURCE_DIR}/fichiers/parchemins)
# Of the players' files only the empty registry: a developer's own saves stay home.
set(KORVA_REGISTRE_VIDE ${PROJECT_SOURCE_DIR}/fichiers/personnages/joueurs.txt)
set(KORVA_DOCUMENTS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE)

if(WIN32)
    install(TARGETS korva RUNTIME DESTINATION .)
    install(DIRECTORY ${KORVA_DONNEES_LIVREES} DESTINATION fichiers)
    install(FILES ${KORVA_REGISTRE_VIDE} DESTINATION fichiers/personnages)
    install(FILES ${KORVA_DOCUMENTS} DESTINATION .)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME korva-${KORVA_VERSION}-windows)
else()
    include(GNUInstallDirs)
    set(KORVA_DOSSIER_PROGRAMME ${CMAKE_INSTALL_LIBEXECDIR}/korva)
    set(KORVA_DOSSIER_DONNEES ${CMAKE_INSTALL_DATADIR}/korva/fichiers)
    set(KORVA_PAQUET ${CMAKE_BINARY_DIR}/paquet)
    set(KORVA_NOTE_DOSSIERS ${CMAKE_INSTALL_DATADIR}/korva/dossiers-faits.txt)
    set(KORVA_SERVEUR_CONF ${CMAKE_INSTALL_SYSCONFDIR}/korva)
    set(KORVA_DOSSIER_WEB ${CMAKE_INSTALL_DATADIR}/korva/web)
    # Where systemd looks for units under /usr/local as under /usr.
    set(KORVA_DOSSIER_UNITES lib/systemd/system)
    # korva-web goes along where it was built, its terminal widget fetched (cmake/Web.cmake).
    set(KORVA_AVEC_WEB OFF)
    if(TARGET korva-web AND TARGET korva_npm_xterm)
        set(KORVA_AVEC_WEB ON)
    endif()
    # What an install needs built: `cmake --build B --target korva_a_installer`.
    add_custom_target(korva_a_installer)
    add_dependencies(korva_a_installer korva korva-serveur)
    set(pages korva korva-serveur)
    set(dossiers_faits ${CMAKE_INSTALL_BINDIR} ${KORVA_DOSSIER_PROGRAMME} ${KORVA_DOSSIER_DONNEES}
                       ${CMAKE_INSTALL_MANDIR}/man6 ${CMAKE_INSTALL_DOCDIR} ${KORVA_SERVEUR_CONF})
    if(KORVA_AVEC_WEB)
        add_dependencies(korva_a_installer korva-web korva_npm_xterm)
        list(APPEND pages korva-web)
        list(APPEND dossiers_faits ${KORVA_DOSSIER_WEB} ${KORVA_DOSSIER_UNITES})
    endif()

    # The launcher finds the game and its data from where it lies itself, so that an installed
    # tree works wherever it is moved or unpacked. `dossier` is where the launcher goes.
    function(korva_lanceur dossier sortie)
        foreach(chemin PROGRAMME DONNEES)
            set(vers ${KORVA_DOSSIER_${chemin}})
            if(chemin STREQUAL PROGRAMME)
                set(vers ${vers}/korva)
            endif()
            if(NOT IS_ABSOLUTE ${vers})
                cmake_path(RELATIVE_PATH vers BASE_DIRECTORY ${dossier})
                set(vers "$ici/${vers}")
            endif()
            set(KORVA_${chemin} ${vers})
        endforeach()
        configure_file(${PROJECT_SOURCE_DIR}/packaging/korva.in ${sortie} @ONLY
                       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                        GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endfunction()
    korva_lanceur(${CMAKE_INSTALL_BINDIR} ${KORVA_PAQUET}/korva)
    # Debian keeps its games in /usr/games: its package has a launcher for there.
    korva_lanceur(games ${KORVA_PAQUET}/debian/korva)
    foreach(page ${pages})
        configure_file(${PROJECT_SOURCE_DIR}/packaging/${page}.6.in ${KORVA_PAQUET}/${page}.6 @ONLY)
    endforeach()
    configure_file(${PROJECT_SOURCE_DIR}/packaging/desinstaller.cmake.in
                   ${KORVA_PAQUET}/desinstaller.cmake @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${KORVA_PAQUET}/changelog @ONLY)

    # The folders an install under a prefix makes are noted (along with those an earlier one
    # made), so that `make uninstall` removes them when it leaves them empty, and no others. A
    # package's staging tree (DESTDIR) notes nothing.
    set(dossiers "")
    foreach(chemin ${dossiers_faits})
        while(NOT chemin STREQUAL "" AND NOT IS_ABSOLUTE ${chemin})
            list(APPEND dossiers ${chemin})
            cmake_path(GET chemin PARENT_PATH chemin)
        endwhile()
    endforeach()
    list(REMOVE_DUPLICATES dossiers)
    install(CODE "
        if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
            set(note \"\${CMAKE_INSTALL_PREFIX}/${KORVA_NOTE_DOSSIERS}\")
            set(faits \"\")
            if(EXISTS \"\${note}\")
                file(STRINGS \"\${note}\" faits)
            endif()
            foreach(d ${dossiers})
                if(NOT EXISTS \"\${CMAKE_INSTALL_PREFIX}/\${d}\")
                    list(APPEND faits \${d})
                endif()
            endforeach()
            list(JOIN faits \"\\n\" texte)
            file(WRITE \"\${note}\" \"\${texte}\\n\")
        endif()")
    install(PROGRAMS ${KORVA_PAQUET}/korva DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(TARGETS korva RUNTIME DESTINATION ${KORVA_DOSSIER_PROGRAMME})
    install(DIRECTORY ${KORVA_DONNEES_LIVREES} DESTINATION ${KORVA_DOSSIER_DONNEES})
    install(FILES ${KORVA_REGISTRE_VIDE} DESTINATION ${KORVA_DOSSIER_DONNEES}/personnages)
    install(FILES ${KORVA_PAQUET}/korva.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    install(FILES ${KORVA_DOCUMENTS} ${PROJECT_SOURCE_DIR}/SERVER.md
            DESTINATION ${CMAKE_INSTALL_DOCDIR})

    # The server over ssh: korva-serveur beside the launcher, its configuration and sshd's block
    # in PREFIX/etc/korva, where the lobby looks from where it lies (PREFIX/bin). Both name
    # installed paths, so they are written when installing, once the prefix is known; the block
    # names the lobby alone, which as a shell takes no option.
    install(TARGETS korva-serveur RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(CODE "
        set(p \"\${CMAKE_INSTALL_PREFIX}\")
        set(KORVA_JEU \"\${p}/${KORVA_DOSSIER_PROGRAMME}/korva\")
        set(KORVA_DONNEES_JEU \"\${p}/${KORVA_DOSSIER_DONNEES}\")
        set(KORVA_COMMANDE \"\${p}/${CMAKE_INSTALL_BINDIR}/korva-serveur\")
        configure_file(${PROJECT_SOURCE_DIR}/packaging/serveur.conf.in ${KORVA_PAQUET}/serveur.conf @ONLY)
        configure_file(${PROJECT_SOURCE_DIR}/packaging/sshd-korva.conf.in ${KORVA_PAQUET}/sshd-korva.conf
                       @ONLY)")
    install(FILES ${KORVA_PAQUET}/serveur.conf ${KORVA_PAQUET}/sshd-korva.conf
            DESTINATION ${KORVA_SERVEUR_CONF})
    install(FILES ${KORVA_PAQUET}/korva-serveur.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

    # korva-web beside korva-serveur; the page's files and the terminal widget's, lib/ and css/ of
    # xterm.js from the build's npm folder (its source maps left out: their sources are not) with
    # its licence; its configuration beside the server's and its systemd unit, both naming the
    # installed paths.
    if(KORVA_AVEC_WEB)
        install(TARGETS korva-web RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/web/page DESTINATION ${KORVA_DOSSIER_WEB})
        install(DIRECTORY ${KORVA_XTERM_CONSTRUIT}/lib ${KORVA_XTERM_CONSTRUIT}/css
                DESTINATION ${KORVA_DOSSIER_WEB}/xterm PATTERN "*.map" EXCLUDE)
        install(FILES ${KORVA_XTERM_CONSTRUIT}/LICENSE DESTINATION ${KORVA_DOSSIER_WEB}/xterm)
        install(CODE "
            set(p \"\${CMAKE_INSTALL_PREFIX}\")
            set(KORVA_WEB_HALL \"\${p}/${CMAKE_INSTALL_BINDIR}/korva-serveur\")
            set(KORVA_WEB_HALL_CONF \"\${p}/${KORVA_SERVEUR_CONF}/serveur.conf\")
            set(KORVA_WEB_DONNEES \"\${p}/${KORVA_DOSSIER_WEB}\")
            set(KORVA_WEB_COMMANDE
                \"\${p}/${CMAKE_INSTALL_BINDIR}/korva-web --config \${p}/${KORVA_SERVEUR_CONF}/web.conf\")
            configure_file(${PROJECT_SOURCE_DIR}/packaging/web.conf.in ${KORVA_PAQUET}/web.conf @ONLY)
            configure_file(${PROJECT_SOURCE_DIR}/packaging/korva-web.service.in
                           ${KORVA_PAQUET}/korva-web.service @ONLY)")
        install(FILES ${KORVA_PAQUET}/web.conf DESTINATION ${KORVA_SERVEUR_CONF})
        install(FILES ${KORVA_PAQUET}/korva-web.service DESTINATION ${KORVA_DOSSIER_UNITES})
        install(FILES ${KORVA_PAQUET}/korva-web.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    endif()

    set(CPACK_GENERATOR DEB)
    # What Debian wants beyond the installed tree (packaging/debian.cmake, which sees only
    # CPack's variables): its copyright file, a changelog, compressed pages, /usr/games.
    set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/debian.cmake)
    set(CPACK_KORVA_BIN ${CMAKE_INSTALL_BINDIR})
    set(CPACK_KORVA_LANCEUR ${KORVA_PAQUET}/debian/korva)
    set(CPACK_KORVA_DOC ${CMAKE_INSTALL_DOCDIR})
    set(CPACK_KORVA_MAN ${CMAKE_INSTALL_MANDIR})
    set(CPACK_KORVA_CHANGELOG ${KORVA_PAQUET}/changelog)
    set(CPACK_KORVA_CONF ${KORVA_SERVEUR_CONF})
    set(CPACK_KORVA_SSHD ${PROJECT_SOURCE_DIR}/packaging/sshd-korva.conf.in)
    set(CPACK_KORVA_WEB ${KORVA_AVEC_WEB})
    set(CPACK_KORVA_WEB_CONF ${PROJECT_SOURCE_DIR}/packaging/web.conf.in)
    set(CPACK_KORVA_WEB_UNITE ${PROJECT_SOURCE_DIR}/packaging/korva-web.service.in)
    set(CPACK_KORVA_WEB_DONNEES ${KORVA_DOSSIER_WEB})
    set(CPACK_KORVA_UNITES ${KORVA_DOSSIER_UNITES})
    # The server's account and data folder, made when the package is configured; its files of
    # /etc are the operator's to change, korva-web's among them where it goes along.
    file(READ ${PROJECT_SOURCE_DIR}/packaging/debian/conffiles conffiles)
    if(KORVA_AVEC_WEB)
        string(APPEND conffiles "/etc/korva/web.conf\n")
    endif()
    file(WRITE ${KORVA_PAQUET}/debian/conffiles ${conffiles})
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
        ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${KORVA_PAQUET}/debian/conffiles)
    if(KORVA_AVEC_WEB)
        list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/prerm)
    endif()
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    # adduser for the server's account; players reach it through sshd.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, passwd")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS openssh-server)
endif()

set(CPACK_PACKAGE_NAME korva)
set(CPACK_PACKAGE_VERSION ${KORVA_VERSION})
set(CPACK_PACKAGE_VENDOR "the KORVA developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based dungeon crawler for the text console")
set(CPACK_PACKAGE_DESCRIPTION
    "Create a hero, walk five dungeon levels that uncover as you go, fight monsters
and the Dungeon Guardian in dice rounds, pick up potions and keys, open doors,
read parchments, save and resume your game, and climb the score registry.

Type korva in any terminal of 110 columns by 50 lines: each player's saves
live in a folder of their own and survive every upgrade.

korva-serveur makes the machine a KORVA server over ssh: players type
ssh korva@HOST, register an account, play, watch each other's games live and
share one ranking. The package makes the korva account and its data folder
in /var/games/korva, and its sshd block lets that account reach the lobby only.")
if(KORVA_AVEC_WEB)
    string(APPEND CPACK_PACKAGE_DESCRIPTION "

korva-web puts the same lobby behind a web page, a terminal in the browser
beside the ranking and the games in progress; its systemd unit korva-web is
installed, not enabled, for the operator to set its origin first.")
endif()
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Its dependencies are the libraries the game links, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
