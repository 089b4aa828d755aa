# The streaming decode benchmark (native only: it counts the heap at malloc; run by scripts/bench-decode.sh).
if(NOT WIN32)
    add_executable(DecodeBench ${CMAKE_CURRENT_LIST_DIR}/DecodeBench.cpp)
    target_link_libraries(DecodeBench PRIVATE prismata_peak_memory)
endif()
