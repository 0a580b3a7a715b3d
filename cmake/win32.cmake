# Cross build for 32-bit Windows: the DLL, the reference host and the end-to-end tests.
add_compile_options(-Wall)
set(KV_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

file(GLOB KV_WIN32_SOURCES CONFIGURE_DEPENDS framework/win32/*.cpp host/win32/*.cpp)
add_library(w95KVR07 SHARED ${KV_WIN32_SOURCES} ${CMAKE_SOURCE_DIR}/host/win32/w95KVR07.def)
set_target_properties(w95KVR07 PROPERTIES PREFIX "" OUTPUT_NAME "w95KVR07"
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(w95KVR07 PRIVATE kvcore ${KV_STATIC_RUNTIME}
    -Wl,--kill-at user32 gdi32 comdlg32 comctl32 winmm winspool shell32 advapi32)

# Win32 parts shared by the test programs and the host (profile API helpers and the like).
file(GLOB KV_WIN32_TESTKIT CONFIGURE_DEPENDS tests/e2e/kit/*.cpp)

add_executable(kavrin-host WIN32 tools/host/kavrin_host.cpp)
set_target_properties(kavrin-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(kavrin-host PRIVATE ${KV_STATIC_RUNTIME} user32 gdi32 comctl32)

include(cmake/e2e.cmake OPTIONAL)
