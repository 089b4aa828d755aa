# The crowded-folder scan and rebuild benchmark (Windows only; run under Wine by scripts/bench-hostile.sh).
if(WIN32)
    add_executable(prismata_hostile_bench ${CMAKE_CURRENT_LIST_DIR}/HostileBench.cpp
                                          ${CMAKE_SOURCE_DIR}/resources/Prismata.rc)
    target_link_libraries(prismata_hostile_bench PRIVATE prismata_test_support_win)
endif()
