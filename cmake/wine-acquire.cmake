# The Windows harness under wine64 against this build's tarnwick.ds and a private saned, with
# the images compared to those of the Linux build (TARNWICK_LINUX_BUILD, default build/native).
set(TARNWICK_LINUX_BUILD ${PROJECT_SOURCE_DIR}/build/native CACHE PATH
    "The native build whose harness and module take the reference images")
add_test(NAME wine-acquire
         COMMAND ${PROJECT_SOURCE_DIR}/tests/integration/acquire-under-wine
                 $<TARGET_FILE:tarnwick-scan>
                 $<TARGET_FILE:tarnwick-ds> ${TARNWICK_LINUX_BUILD}/tarnwick-scan
                 ${TARNWICK_LINUX_BUILD}/tarnwick.ds ${PROJECT_BINARY_DIR}/wine-acquire)
set_tests_properties(wine-acquire PROPERTIES LABELS wine TIMEOUT 900
                     ENVIRONMENT TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix-acquire)
