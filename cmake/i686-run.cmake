# The i686 build executed: the suites, the harness's identity query and acquisitions compared with
# the Linux harness's, under the 32-bit Wine that scripts/setup-i686-wine set up in
# TARNWICK_I686_WINE. Label i686-run; one emulated run at a time, the two cores are its.
set(TARNWICK_LINUX_BUILD ${PROJECT_SOURCE_DIR}/build/native CACHE PATH
    "The native build whose harness and module take the reference images")
set(i686_run ${PROJECT_SOURCE_DIR}/tests/wine/i686-run)
add_test(NAME i686-unit-tests
         COMMAND ${i686_run} ${PROJECT_BINARY_DIR}/i686-prefix
                 $<TARGET_FILE:tarnwick-wine-tests> --gtest_brief=1)
add_test(NAME i686-identity
         COMMAND ${i686_run} ${PROJECT_BINARY_DIR}/i686-prefix $<TARGET_FILE:tarnwick-scan>
                 identity $<TARGET_FILE:tarnwick-ds>)
add_test(NAME i686-acquire
         COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/acquire-compare $<TARGET_FILE:tarnwick-scan>
                 $<TARGET_FILE:tarnwick-ds> ${TARNWICK_LINUX_BUILD}/tarnwick-scan
                 ${TARNWICK_LINUX_BUILD}/tarnwick.ds)
set_tests_properties(i686-unit-tests i686-identity i686-acquire PROPERTIES
                     LABELS i686-run TIMEOUT 900 RUN_SERIAL TRUE
                     ENVIRONMENT "TARNWICK_I686_WINE=${TARNWICK_I686_WINE}")
set_tests_properties(i686-acquire PROPERTIES ENVIRONMENT
    "TARNWICK_I686_WINE=${TARNWICK_I686_WINE};TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/i686-prefix"
)
# The identity the source answers, read through the harness (a failing run prints none).
set_tests_properties(i686-identity PROPERTIES
    PASS_REGULAR_EXPRESSION "Version [0-9.]+ [^\n]*\nManufacturer: [^\n]*\nProduct family: [^\n]*\nProduct name: Tarnwick"
    FAIL_REGULAR_EXPRESSION "timed out|reached the cap|could not be ended")
