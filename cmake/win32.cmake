# Cross build for 32-bit Windows: the DLL, the reference host and the end-to-end tests.
# Every program links its runtime statically, so the DLL imports only system DLLs.
add_compile_options(-Wall)
set(KV_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
set(KV_SYSTEM_LIBS user32 gdi32 comdlg32 comctl32 winmm winspool shell32 advapi32)

file(GLOB KV_WIN32_SOURCES CONFIGURE_DEPENDS framework/win32/*.cpp host/win32/*.cpp)
add_library(w95KVR07 SHARED ${KV_WIN32_SOURCES} ${CMAKE_SOURCE_DIR}/host/win32/w95KVR07.def)
set_target_properties(w95KVR07 PROPERTIES PREFIX "" OUTPUT_NAME "w95KVR07"
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# The .def file names the exports without decoration: the linker matches each name to its
# standard-call symbol (name@N), and --kill-at keeps the @N out of the export table.
target_link_libraries(w95KVR07 PRIVATE kvcore ${KV_STATIC_RUNTIME}
    -Wl,--kill-at -Wl,--enable-stdcall-fixup ${KV_SYSTEM_LIBS})

# Win32 helpers shared by the test programs and the host: loading the DLL, the settings file,
# temporary folders, the watchdog, screenshots.
file(GLOB KV_WIN32_TESTKIT CONFIGURE_DEPENDS tests/e2e/kit/*.cpp)
add_library(kvkit STATIC ${KV_WIN32_TESTKIT})
target_include_directories(kvkit PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(kvkit PUBLIC ${KV_SYSTEM_LIBS})

file(GLOB KV_HOST_SOURCES CONFIGURE_DEPENDS tools/host/*.cpp)
add_executable(kavrin-host WIN32 ${KV_HOST_SOURCES})
set_target_properties(kavrin-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(kavrin-host PRIVATE kvkit ${KV_STATIC_RUNTIME})
# The host loads the DLL from its own folder.
add_dependencies(kavrin-host w95KVR07)

include(cmake/e2e.cmake)
include(cmake/diff.cmake OPTIONAL)
include(cmake/bench_win32.cmake OPTIONAL)
include(cmake/sdk.cmake)
