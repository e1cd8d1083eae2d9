# The portable unit tests cross-built for Windows and run under wine64 (x86_64) or the emulated
# 32-bit Wine (i686, when TARNWICK_I686_WINE is set), so the Win32 platform layer passes the same
# suites as the POSIX one. Files named *_posix_test.cpp are Linux-only and stay out.
set(TARNWICK_WINE_TEST_DIRS platform base settings)
set(wine_sources "")
foreach(dir IN LISTS TARNWICK_WINE_TEST_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/${dir}/*.cpp)
    list(APPEND wine_sources ${found})
endforeach()
list(FILTER wine_sources EXCLUDE REGEX "_posix_test\\.cpp$")
if(NOT wine_sources)
    return()
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -Wno-error)
target_compile_options(gmock PRIVATE -Wno-error)

add_executable(tarnwick-wine-tests ${wine_sources} ${PROJECT_SOURCE_DIR}/tests/support/main.cpp
               ${PROJECT_SOURCE_DIR}/tests/support/scoped_environment.cpp
               ${PROJECT_SOURCE_DIR}/tests/support/settings_folders.cpp)
target_include_directories(tarnwick-wine-tests PRIVATE ${PROJECT_SOURCE_DIR}/tests
                           ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tarnwick-wine-tests PRIVATE tarnwick-model gtest gmock)
target_compile_definitions(tarnwick-wine-tests PRIVATE
    TARNWICK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TARNWICK_BINARY_DIR="${PROJECT_BINARY_DIR}"
    TARNWICK_MODULE_PATH="$<TARGET_FILE:tarnwick-ds>")
add_dependencies(tarnwick-wine-tests tarnwick-ds)
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
    include(${PROJECT_SOURCE_DIR}/cmake/i686-run.cmake)
    return()
endif()
add_test(NAME wine-unit-tests
         COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/wine-run $<TARGET_FILE:tarnwick-wine-tests>
                 --gtest_brief=1)
set_tests_properties(wine-unit-tests PROPERTIES LABELS wine TIMEOUT 900
                     ENVIRONMENT TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix)

include(${PROJECT_SOURCE_DIR}/cmake/wine-ui.cmake)
