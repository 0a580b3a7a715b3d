# Fuzz targets (opt in with -DKV_FUZZ=ON; needs clang with libFuzzer):
#   cmake -S . -B build/fuzz -DKV_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
# Each tests/fuzz/fuzz_<name>.cpp becomes kv_fuzz_<name>; seeds are in tests/fuzz/corpus_<name>/.
# The library code is built a second time with coverage instrumentation for them.
option(KV_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(KV_FUZZ)
    set(KV_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_library(kvcore_fuzz STATIC ${KV_CORE_SOURCES} ${KV_SIM_SOURCES})
    target_include_directories(kvcore_fuzz PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(kvcore_fuzz PRIVATE ${KV_FUZZ_FLAGS})

    file(GLOB KV_FUZZ_SOURCES CONFIGURE_DEPENDS tests/fuzz/fuzz_*.cpp)
    foreach(src ${KV_FUZZ_SOURCES})
        get_filename_component(n ${src} NAME_WE)
        string(REPLACE "fuzz_" "kv_fuzz_" target ${n})
        add_executable(${target} ${src})
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
        target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
        target_link_libraries(${target} PRIVATE kvcore_fuzz)
    endforeach()
endif()
