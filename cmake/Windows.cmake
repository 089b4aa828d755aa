# The Windows build: the screen saver, its tools and the tests that run under Wine.
enable_language(RC)

# Where scripts/setup.sh put them: PRISMATA_CACHE when it names another folder, as for setup.sh itself.
if(DEFINED ENV{PRISMATA_CACHE})
    set(prismata_default_deps $ENV{PRISMATA_CACHE}/mingw-${CMAKE_SYSTEM_PROCESSOR})
else()
    set(prismata_default_deps ${CMAKE_SOURCE_DIR}/.cache/mingw-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(PRISMATA_DEPS ${prismata_default_deps} CACHE PATH "Cross-built libjpeg and GoogleTest")

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 STRICT)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wall> $<$<COMPILE_LANGUAGE:CXX>:-Wextra>)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Our floating point in SSE2 registers: Direct3D may leave the x87 unit at single precision, and the
    # results then match the native tests'. Windows only promises 4-byte stack alignment to 32-bit code
    # (callbacks, thread starts), so functions that keep SSE values on the stack align it themselves.
    add_compile_options(-msse2 -mfpmath=sse -mincoming-stack-boundary=2)
    # A 32-bit process on 64-bit Windows may then use 4 GB, for big photos and their textures.
    add_link_options(-Wl,--large-address-aware)
endif()
# The binaries must run on a bare Windows: no MinGW runtime DLLs.
add_link_options(-static-libgcc -static-libstdc++ -static)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR} -I${CMAKE_BINARY_DIR}")

# The 64-bit twin of the 32-bit build runs the Windows tests where Wine can start no 32-bit program; it is
# never shipped, so it makes no installer.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(PRISMATA_TEST_TWIN ON)
else()
    set(PRISMATA_TEST_TWIN OFF)
endif()

# Fails the build when a shipped program's machine type is not the one its manifest names (Windows refuses
# such a program; Wine does not look) or when it is not large-address-aware.
function(prismata_check_program target manifest)
    if(PRISMATA_TEST_TWIN)
        return()
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}> -DMANIFEST=${manifest}
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckProgram.cmake
        VERBATIM)
endfunction()

add_library(jpeg_static STATIC IMPORTED)
set_target_properties(jpeg_static PROPERTIES
    IMPORTED_LOCATION ${PRISMATA_DEPS}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${PRISMATA_DEPS}/include)
# The portable decoders use libjpeg too.
target_link_libraries(prismata_pure PUBLIC jpeg_static)

add_library(gtest_win STATIC IMPORTED)
set_target_properties(gtest_win PROPERTIES
    IMPORTED_LOCATION ${PRISMATA_DEPS}/lib/libgtest.a
    INTERFACE_INCLUDE_DIRECTORIES ${PRISMATA_DEPS}/include)
add_library(gtest_main_win STATIC IMPORTED)
set_target_properties(gtest_main_win PROPERTIES
    IMPORTED_LOCATION ${PRISMATA_DEPS}/lib/libgtest_main.a
    INTERFACE_LINK_LIBRARIES gtest_win)

# Everything of the screen saver but its entry point, so the Windows tests can link it.
add_library(prismata_win STATIC)
target_link_libraries(prismata_win PUBLIC prismata_pure jpeg_static
    user32 gdi32 comctl32 comdlg32 shell32 ole32 oleaut32 uuid winmm advapi32)

add_executable(Prismata WIN32 app/Main.cpp resources/Prismata.rc)
target_link_libraries(Prismata PRIVATE prismata_win)
set_target_properties(Prismata PROPERTIES SUFFIX ".scr")
prismata_check_program(Prismata ${CMAKE_SOURCE_DIR}/resources/Prismata.manifest)
# windres reports no include dependencies: rebuild the resources when any file they pull in changes.
file(GLOB_RECURSE PRISMATA_RESOURCE_INPUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*)
set_source_files_properties(resources/Prismata.rc PROPERTIES OBJECT_DEPENDS "${PRISMATA_RESOURCE_INPUTS}")

# prismata_pure is created before this file runs: give it the directory's definitions and warnings too.
get_directory_property(prismata_pure_options COMPILE_OPTIONS)
get_directory_property(prismata_pure_definitions COMPILE_DEFINITIONS)
target_compile_options(prismata_pure PRIVATE ${prismata_pure_options})
target_compile_definitions(prismata_pure PRIVATE ${prismata_pure_definitions})
