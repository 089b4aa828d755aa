# The streaming decode benchmark (native only: it counts the heap at malloc; run by scripts/bench-decode.sh).
if(NOT WIN32)
    add_executable(DecodeBench ${CMAKE_CURRENT_LIST_DIR}/DecodeBench.cpp ${CMAKE_SOURCE_DIR}/tests/unit/PeakMemory.cpp)
    target_link_libraries(DecodeBench PRIVATE prismata_pure)
endif()
