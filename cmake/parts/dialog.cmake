# The printer list of the settings dialog uses the print spooler on Windows.
if(WIN32)
    target_link_libraries(tarnwick-platform PUBLIC winspool)
endif()
