# The native build: portable logic only, with unit tests, sanitizers and fuzzers.
add_compile_options(-Wall -Wextra)

option(PRISMATA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(PRISMATA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

find_package(GTest REQUIRED)

option(PRISMATA_FUZZ "Build the libFuzzer targets (clang)" OFF)
if(PRISMATA_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# JPEG decoding of face textures: the system's libjpeg natively.
find_package(JPEG REQUIRED)
target_link_libraries(prismata_pure PUBLIC JPEG::JPEG)

# prismata_pure is created before this file runs, so the directory options above (warnings, sanitizers,
# fuzzing instrumentation) did not reach it; give it the same ones.
get_directory_property(prismata_pure_options COMPILE_OPTIONS)
target_compile_options(prismata_pure PRIVATE ${prismata_pure_options})
