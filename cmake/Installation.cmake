# Installing the game like any terminal game. `cmake --install build --prefix P` puts the
# launcher at P/bin/korva, the game under P/libexec/korva, its data under P/share/korva/fichiers,
# the manual page and the documentation. On Windows the install is a portable folder: korva.exe
# with fichiers/ beside it.
set(KORVA_VERSION 0.1.0)
set(KORVA_DATE 2026-12-06)

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
else()
    include(GNUInstallDirs)
    set(KORVA_DOSSIER_PROGRAMME ${CMAKE_INSTALL_LIBEXECDIR}/korva)
    set(KORVA_DOSSIER_DONNEES ${CMAKE_INSTALL_DATADIR}/korva/fichiers)
    set(KORVA_PAQUET ${CMAKE_BINARY_DIR}/paquet)

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
    configure_file(${PROJECT_SOURCE_DIR}/packaging/korva.6.in ${KORVA_PAQUET}/korva.6 @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/desinstaller.cmake.in
                   ${KORVA_PAQUET}/desinstaller.cmake @ONLY)

    install(PROGRAMS ${KORVA_PAQUET}/korva DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(TARGETS korva RUNTIME DESTINATION ${KORVA_DOSSIER_PROGRAMME})
    install(DIRECTORY ${KORVA_DONNEES_LIVREES} DESTINATION ${KORVA_DOSSIER_DONNEES})
    install(FILES ${KORVA_REGISTRE_VIDE} DESTINATION ${KORVA_DOSSIER_DONNEES}/personnages)
    install(FILES ${KORVA_PAQUET}/korva.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    install(FILES ${KORVA_DOCUMENTS} DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
