# The test suite: one executable of GoogleTest cases, the scripted console and test folders in
# a support library.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB_RECURSE KORVA_SUPPORT CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
korva_garder_plateforme(KORVA_SUPPORT)
add_library(korva_test_support STATIC ${KORVA_SUPPORT})
target_include_directories(korva_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(korva_test_support PUBLIC korva_jeu GTest::gtest)
target_compile_definitions(korva_test_support PUBLIC
    KORVA_FICHIERS_SOURCE="${PROJECT_SOURCE_DIR}/fichiers"
    KORVA_BINAIRE="$<TARGET_FILE:korva>")

file(GLOB_RECURSE KORVA_TESTS_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*_test.cpp)
korva_garder_plateforme(KORVA_TESTS_SOURCES)
if(WIN32)
    list(FILTER KORVA_TESTS_SOURCES EXCLUDE REGEX "/tests/e2e/")
endif()
add_executable(korva_tests ${KORVA_TESTS_SOURCES})
target_link_libraries(korva_tests PRIVATE korva_test_support GTest::gtest_main)
# The end-to-end tests start the real game.
add_dependencies(korva_tests korva)
gtest_discover_tests(korva_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
# The pseudo-terminal driver of the end-to-end tests (openpty lives in libutil on older systems).
if(UNIX)
    target_link_libraries(korva_test_support PUBLIC util)
endif()
