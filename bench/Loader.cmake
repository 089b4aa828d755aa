# Our picture loader against the system's (Windows only; run under Wine by scripts/bench-loader.sh).
if(WIN32)
    add_executable(prismata_loader_bench ${CMAKE_CURRENT_LIST_DIR}/LoaderBench.cpp
                                         ${CMAKE_SOURCE_DIR}/resources/Prismata.rc)
    target_link_libraries(prismata_loader_bench PRIVATE prismata_test_support_win)
endif()
