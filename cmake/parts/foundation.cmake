# The module's resources, its symbol hygiene, and the harness tarnwick-scan.

if(WIN32)
    enable_language(RC)
    # String resources 1-4 (identity texts) and the version information.
    target_sources(tarnwick-ds PRIVATE ${PROJECT_SOURCE_DIR}/packaging/tarnwick.rc)
else()
    # Keep the static libraries' symbols inside the module, so that a host exporting its own
    # (the harness does) cannot take over the source's internal calls.
    target_link_options(tarnwick-ds PRIVATE -Wl,--exclude-libs,ALL)
endif()

# A TWAIN application that loads a .ds by path and is its own Data Source Manager.
file(GLOB TARNWICK_SCAN_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/tarnwick-scan/*.cpp)
add_executable(tarnwick-scan ${TARNWICK_SCAN_SOURCES})
target_link_libraries(tarnwick-scan PRIVATE tarnwick-platform)
if(WIN32)
    # The source finds DSM_Entry in the program's export table, undecorated.
    target_compile_definitions(tarnwick-scan PRIVATE "TARNWICK_SCAN_EXPORT=__declspec(dllexport)")
    target_link_options(tarnwick-scan PRIVATE -Wl,--kill-at)
else()
    target_compile_definitions(tarnwick-scan PRIVATE
                               "TARNWICK_SCAN_EXPORT=__attribute__((visibility(\"default\")))")
    set_target_properties(tarnwick-scan PROPERTIES ENABLE_EXPORTS ON)
endif()
