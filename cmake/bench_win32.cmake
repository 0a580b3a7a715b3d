# Benchmarks under Wine: each bench/win32_*.cpp is a program of its own that drives the DLL
# the way a host does and prints its figures.
file(GLOB KV_WIN32_BENCH CONFIGURE_DEPENDS bench/win32_*.cpp)
foreach(src ${KV_WIN32_BENCH})
    get_filename_component(n ${src} NAME_WE)
    add_executable(${n} ${src})
    set_target_properties(${n} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    target_link_libraries(${n} PRIVATE kvkit ${KV_STATIC_RUNTIME})
    add_dependencies(${n} w95KVR07)
    if(n STREQUAL "win32_editor_open_bench" OR n STREQUAL "win32_catalog_bench" OR n STREQUAL "win32_explorer_bench")
        # Finds and drives the editor's windows as the end-to-end tests do.
        target_sources(${n} PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e/test_editor_driver.cpp)
    endif()
    if(n STREQUAL "win32_script_bench" OR n STREQUAL "win32_slide_list_bench")
        # Runs the editor's script reader and writer in-process over the Win32 file system and
        # profile ports, with the sim backend's headless user in place of windows.
        target_sources(${n} PRIVATE ${CMAKE_SOURCE_DIR}/framework/win32/win32_fs.cpp
            ${CMAKE_SOURCE_DIR}/framework/win32/win32_profile.cpp
            ${CMAKE_SOURCE_DIR}/framework/win32/win32_ports.cpp
            ${CMAKE_SOURCE_DIR}/framework/win32/win32_printer.cpp
            ${CMAKE_SOURCE_DIR}/framework/win32/win32_media.cpp
            ${CMAKE_SOURCE_DIR}/framework/win32/win32_metrics.cpp
            ${CMAKE_SOURCE_DIR}/framework/sim/sim_ui.cpp)
        target_link_libraries(${n} PRIVATE kvcore)
    endif()
endforeach()
