# Run by CPack on the staged tree before packing it: what Debian asks of a package beyond the
# installed tree. The copyright file holds the licence, so LICENSE itself goes; the changelog
# and the manual page are compressed, as Debian's tools would. Other packages keep the tree.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(racine ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${racine}/${CPACK_KORVA_DOC})

function(compresser source cible)
    execute_process(COMMAND gzip -9 -n -c ${source} OUTPUT_FILE ${cible}
                    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

file(READ ${CPACK_RESOURCE_FILE_LICENSE} licence)
if(NOT licence MATCHES "Copyright \\(c\\) ([^\n]*)\n\n(.*[^\n])\n*$")
    message(FATAL_ERROR "${CPACK_RESOURCE_FILE_LICENSE}: no copyright line followed by the notice")
endif()
set(titulaires ${CMAKE_MATCH_1})
string(REPLACE "\n\n" "\n.\n" texte "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " texte " ${texte}")
file(WRITE ${doc}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: KORVA
Upstream-Contact: ${CPACK_PACKAGE_CONTACT}

Files: *
Copyright: ${titulaires}
License: Expat
${texte}
")
file(REMOVE ${doc}/LICENSE)
# xterm.js, which korva-web serves, under its own authors' copyright.
set(xterm ${racine}/${CPACK_KORVA_WEB_DONNEES}/xterm)
if(CPACK_KORVA_WEB)
    file(READ ${xterm}/LICENSE licence)
    if(NOT licence MATCHES "^(Copyright [^\n]*(\nCopyright [^\n]*)*)\n\n(.*[^\n])\n*$")
        message(FATAL_ERROR "${xterm}/LICENSE: no copyright lines followed by the notice")
    endif()
    string(REPLACE "\n\n" "\n.\n" texte "${CMAKE_MATCH_3}")
    string(REGEX REPLACE "Copyright (\\(c\\) )?" "" titulaires "${CMAKE_MATCH_1}")
    string(REPLACE "\n" "\n " titulaires "${titulaires}")
    string(REPLACE "\n" "\n " texte " ${texte}")
    file(APPEND ${doc}/copyright "
Files: usr/share/korva/web/xterm/*
Copyright: ${titulaires}
License: Expat
${texte}
")
    file(REMOVE ${xterm}/LICENSE)
endif()

compresser(${CPACK_KORVA_CHANGELOG} ${doc}/changelog.gz)
foreach(nom korva korva-serveur korva-web)
    set(page ${racine}/${CPACK_KORVA_MAN}/man6/${nom}.6)
    if(EXISTS ${page})
        compresser(${page} ${page}.gz)
        file(REMOVE ${page})
    endif()
endforeach()

# Debian's games lie in /usr/games, which its PATH holds, the launcher for there among them.
file(RENAME ${racine}/${CPACK_KORVA_BIN} ${racine}/games)
file(COPY ${CPACK_KORVA_LANCEUR} DESTINATION ${racine}/games)

# The server's configuration stands in /etc/korva, where /usr/games/korva-serveur looks (the
# prefix /usr keeps its configuration in /etc), and its block in sshd's drop-ins, naming the
# lobby where the package puts it.
set(etc ${CPACK_TEMPORARY_DIRECTORY}/etc)
file(MAKE_DIRECTORY ${etc}/korva)
file(RENAME ${racine}/${CPACK_KORVA_CONF}/serveur.conf ${etc}/korva/serveur.conf)
file(REMOVE_RECURSE ${racine}/etc)
set(jeux /${CPACK_PACKAGING_INSTALL_PREFIX}/games)
string(REPLACE "//" "/" jeux ${jeux})
set(KORVA_COMMANDE ${jeux}/korva-serveur)
configure_file(${CPACK_KORVA_SSHD} ${etc}/ssh/sshd_config.d/korva.conf @ONLY)

# korva-web's configuration beside the server's, naming the lobby in /usr/games; its unit where
# Debian's systemd looks, in /lib/systemd/system, starting it with that configuration.
if(CPACK_KORVA_WEB)
    set(KORVA_WEB_HALL ${KORVA_COMMANDE})
    set(KORVA_WEB_HALL_CONF /etc/korva/serveur.conf)
    set(KORVA_WEB_DONNEES /${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_KORVA_WEB_DONNEES})
    string(REPLACE "//" "/" KORVA_WEB_DONNEES ${KORVA_WEB_DONNEES})
    set(KORVA_WEB_COMMANDE "${jeux}/korva-web --config /etc/korva/web.conf")
    configure_file(${CPACK_KORVA_WEB_CONF} ${etc}/korva/web.conf @ONLY)
    # The unit's folder under the prefix goes, and its parents left empty.
    set(dossier ${racine}/${CPACK_KORVA_UNITES})
    file(REMOVE_RECURSE ${dossier})
    while(NOT dossier STREQUAL racine)
        cmake_path(GET dossier PARENT_PATH dossier)
        file(GLOB reste ${dossier}/*)
        if(reste)
            break()
        endif()
        file(REMOVE_RECURSE ${dossier})
    endwhile()
    configure_file(${CPACK_KORVA_WEB_UNITE}
                   ${CPACK_TEMPORARY_DIRECTORY}/lib/systemd/system/korva-web.service @ONLY)
endif()

# The title art is drawn in code page 437, which the game turns into the terminal's characters.
file(WRITE ${racine}/share/lintian/overrides/korva
    "korva: national-encoding [usr/share/korva/fichiers/presentation/nom.txt]\n")
