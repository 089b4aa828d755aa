# The conversion benchmark (Windows only; run under Wine by scripts/bench-library.sh).
if(WIN32)
    add_executable(prismata_conversion_bench ${CMAKE_CURRENT_LIST_DIR}/ConversionBench.cpp
                                             ${CMAKE_SOURCE_DIR}/resources/Prismata.rc)
    target_link_libraries(prismata_conversion_bench PRIVATE prismata_test_support_win)
endif()
