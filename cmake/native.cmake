# Native build: the library code against the sim backend, the module tests, fuzzers and
# benchmarks.
option(KV_SANITIZE "Build with AddressSanitizer and UBSan" OFF)
if(KV_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
target_compile_options(kvcore PRIVATE -Wall -Wextra)
# Signed overflow in the library code stops the native tests with UBSan's report instead of
# passing unseen: numbers read from settings files and scripts go through this code.
target_compile_options(kvcore PRIVATE -fsanitize=signed-integer-overflow
                                      -fno-sanitize-recover=signed-integer-overflow)
target_link_options(kvcore INTERFACE -fsanitize=signed-integer-overflow)

file(GLOB KV_SIM_SOURCES CONFIGURE_DEPENDS framework/sim/*.cpp)
add_library(kvsim STATIC ${KV_SIM_SOURCES})
target_link_libraries(kvsim PUBLIC kvcore)

find_package(GTest REQUIRED)
enable_testing()
file(GLOB KV_NATIVE_TESTS CONFIGURE_DEPENDS tests/native/*.cpp)
add_executable(kv_tests ${KV_NATIVE_TESTS})
target_link_libraries(kv_tests PRIVATE kvsim GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(kv_tests DISCOVERY_TIMEOUT 60)

file(GLOB KV_NATIVE_BENCH CONFIGURE_DEPENDS bench/native_*.cpp)
foreach(src ${KV_NATIVE_BENCH})
    get_filename_component(n ${src} NAME_WE)
    add_executable(${n} ${src})
    target_link_libraries(${n} PRIVATE kvsim)
endforeach()

include(cmake/fuzz.cmake OPTIONAL)
