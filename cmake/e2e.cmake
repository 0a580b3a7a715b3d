# The end-to-end test program: a cross-built GoogleTest host that loads the real DLL under Wine.
# GoogleTest is built here from the distribution's sources with the cross compiler.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB KV_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
add_executable(kv_e2e ${KV_E2E_SOURCES})
set_target_properties(kv_e2e PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(kv_e2e PRIVATE kvkit gtest ${KV_STATIC_RUNTIME})
add_dependencies(kv_e2e w95KVR07)
