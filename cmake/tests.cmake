# Checks that hold on every target.
add_test(NAME layers COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-layers ${PROJECT_SOURCE_DIR})
add_test(NAME layers-check COMMAND ${PROJECT_SOURCE_DIR}/tests/layers/check-layers-test
                              ${PROJECT_SOURCE_DIR})
# The repo's .clang-format is written for clang-format 14.
find_program(TARNWICK_CLANG_FORMAT NAMES clang-format-14 clang-format REQUIRED)
add_test(NAME format COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-format ${PROJECT_SOURCE_DIR}
                             ${TARNWICK_CLANG_FORMAT})
if(WIN32)
    add_test(NAME module-exports-imports
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-module ${CMAKE_OBJDUMP}
                     ${CMAKE_SYSTEM_PROCESSOR} $<TARGET_FILE:tarnwick-ds>)
else()
    add_test(NAME module-exports-imports
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-module objdump linux
                     $<TARGET_FILE:tarnwick-ds>)
endif()

if(TARNWICK_FUZZ)
    # Each fuzz-<name>.cpp is one libFuzzer target over the model code.
    file(GLOB fuzzers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz-*.cpp)
    foreach(source IN LISTS fuzzers)
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        target_link_libraries(${name} PRIVATE tarnwick-model)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    endforeach()
    return()
endif()
if(CMAKE_CROSSCOMPILING)
    include(${PROJECT_SOURCE_DIR}/cmake/twain-app.cmake)

    if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64 OR TARNWICK_I686_WINE)
        include(${PROJECT_SOURCE_DIR}/cmake/wine-tests.cmake)
    endif()
    return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

# Shared fakes and fixtures (scripted daemon, saned fixture, descriptor builder, ...); the
# benchmarks use them too.
file(GLOB_RECURSE TARNWICK_TEST_SUPPORT CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
list(REMOVE_ITEM TARNWICK_TEST_SUPPORT ${PROJECT_SOURCE_DIR}/tests/support/main.cpp)
add_library(tarnwick-test-support STATIC ${TARNWICK_TEST_SUPPORT})
target_include_directories(tarnwick-test-support PUBLIC ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tarnwick-test-support PUBLIC tarnwick-model GTest::gtest GTest::gmock)
target_compile_definitions(tarnwick-test-support PUBLIC
    TARNWICK_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TARNWICK_BINARY_DIR="${PROJECT_BINARY_DIR}"
    TARNWICK_MODULE_PATH="$<TARGET_FILE:tarnwick-ds>"
    TARNWICK_REPLAY_DIR="${PROJECT_BINARY_DIR}/replay")
if(TARNWICK_SANITIZE)
    target_compile_definitions(tarnwick-test-support PUBLIC TARNWICK_SANITIZED=1)
endif()

include(${PROJECT_SOURCE_DIR}/cmake/replay.cmake)

# The programs the test scripts run beside the product, never part of it: the eSCL forwarder
# that hides a scanner's PNG formats.
add_executable(escl-without-png ${PROJECT_SOURCE_DIR}/tests/tools/escl-without-png.cpp)
target_link_libraries(escl-without-png PRIVATE tarnwick-test-support)

# One test program per kind; files are picked up from their folders.
foreach(kind unit integration fault)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${kind}/*.cpp)
    if(NOT sources)
        continue()
    endif()
    add_executable(tarnwick-${kind}-tests ${sources} ${PROJECT_SOURCE_DIR}/tests/support/main.cpp)
    target_link_libraries(tarnwick-${kind}-tests PRIVATE tarnwick-test-support)
    add_dependencies(tarnwick-${kind}-tests tarnwick-ds tarnwick-replay)
    gtest_discover_tests(tarnwick-${kind}-tests DISCOVERY_MODE PRE_TEST
                         PROPERTIES LABELS ${kind} TIMEOUT 300)
endforeach()

include(${PROJECT_SOURCE_DIR}/cmake/airsane.cmake)

# Each bench-<topic>.cpp is one benchmark program; they are run by hand, not by ctest.
file(GLOB benches CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/bench-*.cpp)
# The other sources of bench/ are what the benchmarks share (their proxy).
file(GLOB bench_support CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
list(FILTER bench_support EXCLUDE REGEX "/bench-[^/]*\\.cpp$")
if(benches)
    find_package(benchmark REQUIRED)
    add_library(tarnwick-bench-support STATIC ${bench_support})
    target_include_directories(tarnwick-bench-support PUBLIC ${PROJECT_SOURCE_DIR}/bench)
    target_link_libraries(tarnwick-bench-support PUBLIC tarnwick-test-support)
endif()
foreach(source IN LISTS benches)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE tarnwick-bench-support benchmark::benchmark)
    # bench-acquire loads the source, which finds its manager among the program's exports.
    set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
endforeach()

include(${PROJECT_SOURCE_DIR}/cmake/twain-app.cmake)

# The office network in two network namespaces (tests/netns/office-network.sh): needs root, and
# skips where namespaces or avahi-daemon are missing. An avahi-daemon unpacked elsewhere (with its
# libraries) may stand in for an installed one.
set(TARNWICK_AVAHI_ROOT "" CACHE PATH "A root holding usr/sbin/avahi-daemon, for the office network")
add_test(NAME office-first-start
         COMMAND ${PROJECT_SOURCE_DIR}/tests/netns/office-first-start $<TARGET_FILE:tarnwick-scan>
                 $<TARGET_FILE:tarnwick-ds>)
set_tests_properties(office-first-start PROPERTIES LABELS "network;integration" TIMEOUT 300
                     SKIP_RETURN_CODE 77 ENVIRONMENT TARNWICK_AVAHI_ROOT=${TARNWICK_AVAHI_ROOT})
# An eSCL scanner there instead of saned: AirSane of this build (below), announced by the host.
add_test(NAME office-escl-first-start
         COMMAND ${PROJECT_SOURCE_DIR}/tests/netns/office-escl-first-start
                 $<TARGET_FILE:tarnwick-scan> $<TARGET_FILE:tarnwick-ds>
                 ${PROJECT_BINARY_DIR}/airsane/build/airsaned)
set_tests_properties(office-escl-first-start PROPERTIES LABELS "network;integration" TIMEOUT 300
                     SKIP_RETURN_CODE 77 ENVIRONMENT TARNWICK_AVAHI_ROOT=${TARNWICK_AVAHI_ROOT})
