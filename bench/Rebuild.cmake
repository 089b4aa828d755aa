# The whole rebuild of a folder of real photos, one core and all cores (Windows only; run under Wine by
# scripts/bench-rebuild.sh).
if(WIN32)
    add_executable(prismata_rebuild_bench ${CMAKE_CURRENT_LIST_DIR}/RebuildBench.cpp
                                          ${CMAKE_SOURCE_DIR}/resources/Prismata.rc)
    target_link_libraries(prismata_rebuild_bench PRIVATE prismata_test_support_win)
    # The scale row starts the real program.
    add_dependencies(prismata_rebuild_bench Prismata)
endif()
