# AirSane, the eSCL server the integration tests scan through: a peer (../shared/peers/airsane
# beside the checkout, or TARNWICK_AIRSANE), built into this build folder, never installed.
foreach(candidate ${PROJECT_SOURCE_DIR}/../shared/peers/airsane
                  ${PROJECT_SOURCE_DIR}/../../shared/peers/airsane)
    if(NOT TARNWICK_AIRSANE AND EXISTS ${candidate})
        get_filename_component(TARNWICK_AIRSANE ${candidate} REALPATH)
    endif()
endforeach()
set(TARNWICK_AIRSANE ${TARNWICK_AIRSANE} CACHE PATH "AirSane's source and patch")
set(airsaned ${PROJECT_BINARY_DIR}/airsane/build/airsaned)
file(GLOB airsane_source ${TARNWICK_AIRSANE}/AirSane-*.tar.gz)
if(NOT airsane_source)
    message(WARNING "No AirSane at '${TARNWICK_AIRSANE}': the eSCL integration tests skip")
    target_compile_definitions(tarnwick-test-support PUBLIC TARNWICK_AIRSANED="")
    return()
endif()
add_custom_command(OUTPUT ${airsaned}
                   COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-airsane ${TARNWICK_AIRSANE}
                           ${PROJECT_BINARY_DIR}/airsane 2
                   DEPENDS ${airsane_source} ${PROJECT_SOURCE_DIR}/scripts/build-airsane
                   COMMENT "Building AirSane" USES_TERMINAL)
add_custom_target(tarnwick-airsane DEPENDS ${airsaned})
add_dependencies(tarnwick-integration-tests tarnwick-airsane)
target_compile_definitions(tarnwick-test-support PUBLIC TARNWICK_AIRSANED="${airsaned}")
