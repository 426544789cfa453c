# A thousand players at once, measured as they play (build/korva_bench_charge, `make
# bench-charge`): built only by that target, never by the tests. Its clients speak korva-web's
# WebSocket through Boost.Beast; the accounts' one password is hashed with libsodium, as the lobby
# hashes them.
file(GLOB KORVA_BENCH_CHARGE CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/charge/*.cpp)
add_executable(korva_bench_charge EXCLUDE_FROM_ALL ${KORVA_BENCH_CHARGE})
target_link_libraries(korva_bench_charge PRIVATE korva_serveur Boost::headers util)
add_dependencies(korva_bench_charge korva korva-serveur korva-web)
if(TARGET korva_npm_xterm)
    add_dependencies(korva_bench_charge korva_npm_xterm)
endif()
target_compile_definitions(korva_bench_charge PRIVATE BOOST_BEAST_USE_STD_STRING_VIEW
    KORVA_SOURCE="${PROJECT_SOURCE_DIR}"
    KORVA_FICHIERS_SOURCE="${PROJECT_SOURCE_DIR}/fichiers"
    KORVA_BINAIRE="$<TARGET_FILE:korva>"
    KORVA_SERVEUR_BINAIRE="$<TARGET_FILE:korva-serveur>"
    KORVA_WEB_BINAIRE="$<TARGET_FILE:korva-web>"
    KORVA_PAGE_SOURCE="${PROJECT_SOURCE_DIR}/src/web/page"
    KORVA_XTERM_CONSTRUIT="${KORVA_XTERM_CONSTRUIT}")
