# The level search (korva_outils), shared by the balance tool, the shipped-level test and the
# benchmark, and the balance tool itself (korva_equilibre, run by `make balance`, never by the
# tests).
add_library(korva_outils STATIC ${PROJECT_SOURCE_DIR}/tools/equilibre/recherche_niveau.cpp)
target_include_directories(korva_outils PUBLIC ${PROJECT_SOURCE_DIR}/tools/equilibre)
target_link_libraries(korva_outils PUBLIC korva_jeu)

if(TARGET korva_tests)
    target_link_libraries(korva_tests PRIVATE korva_outils)
endif()

# The benchmark walks the levels with this search.
if(TARGET korva_bench)
    target_link_libraries(korva_bench PRIVATE korva_outils)
endif()

if(NOT WIN32 AND NOT KORVA_FUZZ)
    add_executable(korva_equilibre
        ${PROJECT_SOURCE_DIR}/tools/equilibre/equilibre.cpp
        ${PROJECT_SOURCE_DIR}/tools/equilibre/console_muette.cpp
        ${PROJECT_SOURCE_DIR}/tools/equilibre/partie_simulee.cpp
        ${PROJECT_SOURCE_DIR}/tools/equilibre/politiques.cpp)
    target_compile_definitions(korva_equilibre PRIVATE KORVA_RACINE="${PROJECT_SOURCE_DIR}")
    target_link_libraries(korva_equilibre PRIVATE korva_outils)
endif()
