# The test suite: one executable of GoogleTest cases, the scripted console and test folders in
# a support library.
# A Windows build made from another system takes GoogleTest from its sources (Debian ships them
# in the googletest package); KORVA_GTEST_SOURCES may point anywhere else, on any build.
if(CMAKE_CROSSCOMPILING AND EXISTS /usr/src/googletest/googletest/CMakeLists.txt)
    set(KORVA_GTEST_DEFAUT /usr/src/googletest/googletest)
else()
    set(KORVA_GTEST_DEFAUT "")
endif()
set(KORVA_GTEST_SOURCES "${KORVA_GTEST_DEFAUT}" CACHE PATH
    "GoogleTest sources (the googletest folder) to build with the tests instead of an installed one")
if(KORVA_GTEST_SOURCES)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE) # MSVC: the same C runtime as the game
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${KORVA_GTEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
else()
    # `make test` installs GoogleTest first; a build for playing only goes on without it.
    find_package(GTest QUIET)
    if(NOT GTest_FOUND)
        message(STATUS "GoogleTest not found: the tests are not built (`make test` installs it)")
        return()
    endif()
endif()
# The terminal tests read the game's screen through libvterm (Debian: libvterm-dev).
if(UNIX)
    find_path(KORVA_VTERM_INCLUDE vterm.h)
    find_library(KORVA_VTERM vterm)
    if(NOT KORVA_VTERM_INCLUDE OR NOT KORVA_VTERM)
        message(STATUS "libvterm not found: the tests are not built (`make test` installs it)")
        return()
    endif()
endif()
include(GoogleTest)

file(GLOB_RECURSE KORVA_SUPPORT CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
korva_garder_plateforme(KORVA_SUPPORT)
add_library(korva_test_support STATIC ${KORVA_SUPPORT})
target_include_directories(korva_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(korva_test_support PUBLIC korva_jeu GTest::gtest)
# Under Wine the build's own paths lie on drive Z:, which Wine maps to the root of the host.
if(WIN32 AND CMAKE_HOST_UNIX)
    set(KORVA_LECTEUR_HOTE "Z:")
else()
    set(KORVA_LECTEUR_HOTE "")
endif()
target_compile_definitions(korva_test_support PUBLIC
    KORVA_FICHIERS_SOURCE="${KORVA_LECTEUR_HOTE}${PROJECT_SOURCE_DIR}/fichiers"
    KORVA_TRANSCRIPTIONS="${KORVA_LECTEUR_HOTE}${PROJECT_SOURCE_DIR}/tests/transcriptions"
    KORVA_TESTS="${KORVA_LECTEUR_HOTE}${PROJECT_SOURCE_DIR}/tests"
    KORVA_BINAIRE="${KORVA_LECTEUR_HOTE}$<TARGET_FILE:korva>")

file(GLOB_RECURSE KORVA_TESTS_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*_test.cpp)
korva_garder_plateforme(KORVA_TESTS_SOURCES)
list(FILTER KORVA_TESTS_SOURCES EXCLUDE REGEX "/tests/web/") # korva-web's own, in cmake/Web.cmake
if(WIN32)
    list(FILTER KORVA_TESTS_SOURCES EXCLUDE REGEX "/tests/e2e/")
endif()
add_executable(korva_tests ${KORVA_TESTS_SOURCES})
target_link_libraries(korva_tests PRIVATE korva_test_support GTest::gtest_main)
# The end-to-end tests start the real game, and the server's lobby.
add_dependencies(korva_tests korva)
if(TARGET korva-serveur)
    add_dependencies(korva_tests korva-serveur)
    # The lobby's pure rules are tried as functions too: what it keeps of its environment as
    # a shell, how it sums refusals up.
    target_link_libraries(korva_tests PRIVATE korva_serveur)
    target_compile_definitions(korva_tests PRIVATE
        KORVA_SERVEUR_BINAIRE="$<TARGET_FILE:korva-serveur>")
endif()
if(CMAKE_CROSSCOMPILING)
    # Each start of the emulator costs about a second: the whole suite runs as one test, and
    # GoogleTest's own report names any case that fails.
    # A test that ends the process by mistake must not pass for a success: the run counts only
    # when GoogleTest reaches its summary.
    add_test(NAME korva_tests COMMAND korva_tests)
    set_tests_properties(korva_tests PROPERTIES TIMEOUT 600
        PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
        FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
else()
    gtest_discover_tests(korva_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endif()
# A case for each transcript and lobby script: the list of cases is made when the tests are
# linked, so a script added or removed links them again, and runs at the next `make test`.
file(GLOB KORVA_TESTS_SCRIPTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/transcriptions/*.txt
     ${PROJECT_SOURCE_DIR}/tests/serveur/*.txt)
set_property(TARGET korva_tests APPEND PROPERTY LINK_DEPENDS ${KORVA_TESTS_SCRIPTS})
# The pseudo-terminal driver of the terminal tests (openpty lives in libutil on older systems).
if(UNIX)
    target_include_directories(korva_test_support PUBLIC ${KORVA_VTERM_INCLUDE})
    target_link_libraries(korva_test_support PUBLIC ${KORVA_VTERM} util)
endif()
