# The kit for host authors: the import libraries made from the export list, the public header
# compiled under three language standards, the example host linked against the kit, and one
# link check per import library.
find_program(KV_GNU_DLLTOOL NAMES i686-w64-mingw32-dlltool REQUIRED)
find_program(KV_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)

set(KV_SDK_DIR ${CMAKE_BINARY_DIR}/sdk)
set(KV_IMPORT_DEF ${KV_SDK_DIR}/w95KVR07-import.def)
set(KV_GNU_IMPORT_LIB ${KV_SDK_DIR}/libw95KVR07.a)
set(KV_MSVC_IMPORT_LIB ${KV_SDK_DIR}/w95KVR07.lib)
add_custom_command(OUTPUT ${KV_IMPORT_DEF}
    COMMAND ${CMAKE_COMMAND} -DDEF=${CMAKE_SOURCE_DIR}/host/win32/w95KVR07.def
            -DHEADER=${CMAKE_SOURCE_DIR}/include/kavrin.h -DOUT=${KV_IMPORT_DEF}
            -P ${CMAKE_SOURCE_DIR}/cmake/import_def.cmake
    DEPENDS host/win32/w95KVR07.def include/kavrin.h cmake/import_def.cmake
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
# -k: the symbols keep their @N, the names the DLL is asked for do not.
add_custom_command(OUTPUT ${KV_GNU_IMPORT_LIB}
    COMMAND ${KV_GNU_DLLTOOL} -d ${KV_IMPORT_DEF} -l ${KV_GNU_IMPORT_LIB} -k
    DEPENDS ${KV_IMPORT_DEF})
add_custom_command(OUTPUT ${KV_MSVC_IMPORT_LIB}
    COMMAND ${KV_LLVM_DLLTOOL} -m i386 -d ${KV_IMPORT_DEF} -l ${KV_MSVC_IMPORT_LIB} -k
    DEPENDS ${KV_IMPORT_DEF})
add_custom_target(kavrin_import_libs ALL DEPENDS ${KV_GNU_IMPORT_LIB} ${KV_MSVC_IMPORT_LIB})

# The header alone, with every warning an error, as C89, C11 and C++17.
foreach(std 90 11)
    add_library(kavrin_header_c${std} OBJECT tests/e2e/sdk/header_check.c)
    set_target_properties(kavrin_header_c${std} PROPERTIES C_STANDARD ${std} C_STANDARD_REQUIRED ON C_EXTENSIONS OFF)
    target_include_directories(kavrin_header_c${std} PRIVATE include)
    target_compile_options(kavrin_header_c${std} PRIVATE -Wall -Wextra -pedantic -Werror)
endforeach()
add_library(kavrin_header_cxx17 OBJECT tests/e2e/sdk/header_check.cpp)
set_target_properties(kavrin_header_cxx17 PROPERTIES CXX_STANDARD 17 CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF)
target_include_directories(kavrin_header_cxx17 PRIVATE include)
target_compile_options(kavrin_header_cxx17 PRIVATE -Wall -Wextra -pedantic -Werror)

# The example host, built as a host author builds it: the header and the import library.
add_executable(minimal_host WIN32 examples/minimal_host.c)
set_target_properties(minimal_host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    C_STANDARD 90 C_EXTENSIONS OFF LINK_DEPENDS ${KV_GNU_IMPORT_LIB})
target_include_directories(minimal_host PRIVATE include)
target_compile_options(minimal_host PRIVATE -Wall -Wextra -pedantic)
target_link_libraries(minimal_host PRIVATE ${KV_GNU_IMPORT_LIB} -static-libgcc)
add_dependencies(minimal_host kavrin_import_libs w95KVR07)

# A host linked against each import library: the calls reach the DLL with the stack intact.
foreach(flavour gnu msvc)
    string(TOUPPER ${flavour} upper)
    add_executable(kv_kit_link_${flavour} tests/e2e/sdk/link_check.cpp)
    set_target_properties(kv_kit_link_${flavour} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
        LINK_DEPENDS ${KV_${upper}_IMPORT_LIB})
    target_include_directories(kv_kit_link_${flavour} PRIVATE include)
    target_link_libraries(kv_kit_link_${flavour} PRIVATE kvkit ${KV_${upper}_IMPORT_LIB} ${KV_STATIC_RUNTIME})
    add_dependencies(kv_kit_link_${flavour} kavrin_import_libs w95KVR07)
endforeach()

# The end-to-end test drives the example host as its own program.
add_dependencies(kv_e2e minimal_host)
