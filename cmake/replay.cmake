# The replay backend: a libsane.so.1 that saned loads in place of the SANE library when its folder
# comes first in saned's LD_LIBRARY_PATH, serving one device from an option listing
# (tests/replay/README.md). Native builds only: saned runs on the build machine.
find_path(TARNWICK_SANE_INCLUDE_DIR sane/sane.h REQUIRED)
file(GLOB replay_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/replay/*.cpp)
add_library(tarnwick-replay SHARED ${replay_sources})
target_include_directories(tarnwick-replay PRIVATE ${TARNWICK_SANE_INCLUDE_DIR})
set_target_properties(tarnwick-replay PROPERTIES
    OUTPUT_NAME sane SOVERSION 1
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/replay
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
# saned is not built with the sanitizers, so the library it loads must not need their runtime.
if(TARNWICK_SANITIZE)
    target_compile_options(tarnwick-replay PRIVATE -fno-sanitize=all)
    target_link_options(tarnwick-replay PRIVATE -fno-sanitize=all)
endif()
target_link_options(tarnwick-replay PRIVATE -Wl,--no-undefined)
