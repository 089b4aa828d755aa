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
