# korva-web, the server's lobby behind a web page (POSIX systems), built where Boost's headers
# (Boost.Beast, Boost.Asio) and OpenSSL are found; its terminal widget, xterm.js, comes from npm
# at the version its lock file pins, into the build folder.
if(WIN32 OR KORVA_FUZZ)
    return()
endif()
find_package(Boost 1.74 QUIET CONFIG)
find_package(OpenSSL QUIET)
if(NOT Boost_FOUND OR NOT OpenSSL_FOUND)
    message(STATUS "Boost or OpenSSL not found: korva-web is not built (Debian: libboost-dev "
                   "libssl-dev; `make test` installs them)")
    return()
endif()

set(KORVA_WEB_INSTALLE "${CMAKE_INSTALL_FULL_DATADIR}/korva/web")
file(GLOB KORVA_WEB CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/web/*.cpp)
# The lobby's configuration, rules, games and ranking are the lobby's own library.
add_executable(korva-web ${KORVA_WEB})
target_link_libraries(korva-web PRIVATE korva_serveur Boost::headers OpenSSL::SSL util)
# Beast's strings are the standard library's.
# Where the install puts what korva-web runs and serves: its settings' defaults.
set(KORVA_WEB_INSTALLES
    KORVA_SERVEUR_INSTALLE="${CMAKE_INSTALL_FULL_BINDIR}/korva-serveur"
    KORVA_PAGE_INSTALLEE="${KORVA_WEB_INSTALLE}/page"
    KORVA_XTERM_INSTALLE="${KORVA_WEB_INSTALLE}/xterm")
target_compile_definitions(korva-web PRIVATE BOOST_BEAST_USE_STD_STRING_VIEW ${KORVA_WEB_INSTALLES})

# `npm ci` of a lock file's packages into a folder of the build, again when the lock changes.
function(korva_npm nom lock)
    set(dossier ${CMAKE_BINARY_DIR}/npm/${nom})
    get_filename_component(source ${lock} DIRECTORY)
    add_custom_command(OUTPUT ${dossier}/node_modules/.package-lock.json
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dossier}
        COMMAND ${CMAKE_COMMAND} -E copy ${source}/package.json ${lock} ${dossier}
        COMMAND ${CMAKE_COMMAND} -E chdir ${dossier} npm ci --no-audit --no-fund --loglevel=error
        DEPENDS ${source}/package.json ${lock}
        COMMENT "npm ci: ${nom}")
    add_custom_target(korva_npm_${nom} ALL DEPENDS ${dossier}/node_modules/.package-lock.json)
endfunction()
find_program(KORVA_NPM npm)
if(KORVA_NPM)
    korva_npm(xterm ${PROJECT_SOURCE_DIR}/src/web/package-lock.json)
    set(KORVA_XTERM_CONSTRUIT ${CMAKE_BINARY_DIR}/npm/xterm/node_modules/@xterm/xterm)
else()
    message(STATUS "npm not found: korva-web's terminal widget is not fetched (`make test` "
                   "installs npm)")
endif()

# The benchmark of 200 players at once (`make bench-web`), never run by the tests.
add_executable(korva_bench_web EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/korva_bench_web.cpp)
target_link_libraries(korva_bench_web PRIVATE Boost::headers)
add_dependencies(korva_bench_web korva korva-serveur korva-web)
if(TARGET korva_npm_xterm)
    add_dependencies(korva_bench_web korva_npm_xterm)
endif()
target_compile_definitions(korva_bench_web PRIVATE BOOST_BEAST_USE_STD_STRING_VIEW
    KORVA_FICHIERS_SOURCE="${PROJECT_SOURCE_DIR}/fichiers"
    KORVA_BINAIRE="$<TARGET_FILE:korva>"
    KORVA_SERVEUR_BINAIRE="$<TARGET_FILE:korva-serveur>"
    KORVA_WEB_BINAIRE="$<TARGET_FILE:korva-web>"
    KORVA_PAGE_SOURCE="${PROJECT_SOURCE_DIR}/src/web/page"
    KORVA_XTERM_CONSTRUIT="${KORVA_XTERM_CONSTRUIT}")
include(${PROJECT_SOURCE_DIR}/bench/charge/charge.cmake)

if(NOT TARGET korva_test_support OR NOT KORVA_NPM)
    return()
endif()
# The service's tests: a WebSocket client of their own on the same library, then a real browser
# (Debian's chromium, driven through its DevTools protocol by playwright-core) where one is.
file(GLOB KORVA_WEB_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/web/*_test.cpp)
# korva-web's settings' declaration is checked against its packaged file and the guide.
add_executable(korva_tests_web ${KORVA_WEB_TESTS} ${PROJECT_SOURCE_DIR}/src/web/configuration_web.cpp)
target_link_libraries(korva_tests_web PRIVATE korva_test_support GTest::gtest_main Boost::headers)
# Boost 1.74's HTTP parser, inlined under the sanitizers, holds an optional GCC cannot follow.
target_compile_options(korva_tests_web PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>)
add_dependencies(korva_tests_web korva korva-serveur korva-web korva_npm_xterm)
target_compile_definitions(korva_tests_web PRIVATE BOOST_BEAST_USE_STD_STRING_VIEW
    ${KORVA_WEB_INSTALLES}
    KORVA_SERVEUR_BINAIRE="$<TARGET_FILE:korva-serveur>"
    KORVA_WEB_BINAIRE="$<TARGET_FILE:korva-web>"
    KORVA_PAGE_SOURCE="${PROJECT_SOURCE_DIR}/src/web/page"
    KORVA_XTERM_CONSTRUIT="${KORVA_XTERM_CONSTRUIT}")
# The browser's test skips itself where chromium is not.
find_program(KORVA_CHROMIUM chromium)
find_program(KORVA_NODE node)
set(KORVA_NAVIGATEUR "")
if(KORVA_CHROMIUM AND KORVA_NODE)
    korva_npm(navigateur ${PROJECT_SOURCE_DIR}/tests/web/package-lock.json)
    add_dependencies(korva_tests_web korva_npm_navigateur)
    set(KORVA_NAVIGATEUR "KORVA_CHROMIUM=${KORVA_CHROMIUM} NODE_PATH=${CMAKE_BINARY_DIR}/npm/navigateur/node_modules ${KORVA_NODE}")
else()
    message(STATUS "chromium or node not found: the browser test is skipped (`make test` "
                   "installs chromium)")
endif()
target_compile_definitions(korva_tests_web PRIVATE KORVA_NAVIGATEUR="${KORVA_NAVIGATEUR}")
gtest_discover_tests(korva_tests_web DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
