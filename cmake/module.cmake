# The module's resources and its symbol hygiene.

if(WIN32)
    enable_language(RC)
    # String resources 1-4 (identity texts) and the version information.
    target_sources(tarnwick-ds PRIVATE ${PROJECT_SOURCE_DIR}/packaging/tarnwick.rc)
else()
    # Keep the static libraries' symbols inside the module, so that a host exporting its own
    # (the harness does) cannot take over the source's internal calls.
    target_link_options(tarnwick-ds PRIVATE -Wl,--exclude-libs,ALL)
endif()
