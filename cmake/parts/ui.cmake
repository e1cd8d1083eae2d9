# The shell's "open" operation of the Windows platform layer.
if(WIN32)
    target_link_libraries(tarnwick-platform PUBLIC shell32)
endif()
