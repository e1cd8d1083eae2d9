# The Windows harness and module under wine64 against a saned on loopback, compared with the
# Linux harness and module of a native build (TARNWICK_HOST_SCAN, TARNWICK_HOST_DS).
set(TARNWICK_HOST_SCAN "" CACHE FILEPATH "tarnwick-scan built for this machine")
set(TARNWICK_HOST_DS "" CACHE FILEPATH "tarnwick.ds built for this machine")
if(NOT TARNWICK_HOST_SCAN OR NOT TARNWICK_HOST_DS)
    message(STATUS "wine-acquire: no TARNWICK_HOST_SCAN/TARNWICK_HOST_DS, comparison left out")
    return()
endif()
add_test(NAME wine-acquire
         COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/acquire-compare $<TARGET_FILE:tarnwick-scan>
                 $<TARGET_FILE:tarnwick-ds> ${TARNWICK_HOST_SCAN} ${TARNWICK_HOST_DS})
set_tests_properties(wine-acquire PROPERTIES LABELS wine TIMEOUT 300
                     ENVIRONMENT TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix
                     RESOURCE_LOCK tarnwick-wineprefix)
