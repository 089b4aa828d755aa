# The frame benchmark (Windows only, run under Wine by scripts/bench-engine.sh).
if(WIN32)
    add_executable(prismata_frame_bench ${CMAKE_CURRENT_LIST_DIR}/FrameBench.cpp)
    target_link_libraries(prismata_frame_bench PRIVATE prismata_test_support_win)
endif()
