# Differential test of the INI engine against the platform's profile service; run under Wine
# (kv_inidiff.exe [cases] [seed]).
file(GLOB KV_DIFF_SOURCES CONFIGURE_DEPENDS tests/diff/*.cpp)
list(APPEND KV_DIFF_SOURCES ${CMAKE_SOURCE_DIR}/framework/win32/win32_profile.cpp)
add_executable(kv_inidiff ${KV_DIFF_SOURCES})
set_target_properties(kv_inidiff PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(kv_inidiff PRIVATE kvcore ${KV_STATIC_RUNTIME})
