# The TWAIN 2 test application, which reaches the source through the TWAIN Working Group's
# manager (a peer: ../shared/peers/twain-dsm beside the checkout, or TARNWICK_TWAIN_DSM).
add_executable(tarnwick-twain-app ${PROJECT_SOURCE_DIR}/tests/twain-app/main.cpp
               ${PROJECT_SOURCE_DIR}/tests/twain-app/manager.cpp
               ${PROJECT_SOURCE_DIR}/tools/tarnwick-scan/received_image.cpp)
target_include_directories(tarnwick-twain-app PRIVATE ${PROJECT_SOURCE_DIR}/tools/tarnwick-scan)
target_link_libraries(tarnwick-twain-app PRIVATE tarnwick-platform)

foreach(candidate ${PROJECT_SOURCE_DIR}/../shared/peers/twain-dsm
                  ${PROJECT_SOURCE_DIR}/../../shared/peers/twain-dsm)
    if(NOT TARNWICK_TWAIN_DSM AND EXISTS ${candidate})
        get_filename_component(TARNWICK_TWAIN_DSM ${candidate} REALPATH)
    endif()
endforeach()
set(TARNWICK_TWAIN_DSM ${TARNWICK_TWAIN_DSM} CACHE PATH "The TWAIN Working Group's manager 2.4.3")
if(NOT EXISTS ${TARNWICK_TWAIN_DSM}/twaindsm_2.4.3-1_amd64.deb)
    message(WARNING "No TWAIN Working Group manager at '${TARNWICK_TWAIN_DSM}': its tests are left out")
    if(TARGET tarnwick-integration-tests)
        target_compile_definitions(tarnwick-integration-tests PRIVATE TARNWICK_PRIVATE_DSM="")
    endif()
    return()
endif()
if(CMAKE_CROSSCOMPILING)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
        # Under wine64 with the 64-bit manager: the message loop and callbacks, in a prefix of
        # its own (the manager and the source are installed into it).
        add_test(NAME wine-manager-acquire
                 COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/manager-acquire
                         $<TARGET_FILE:tarnwick-twain-app> $<TARGET_FILE:tarnwick-ds>
                         ${TARNWICK_TWAIN_DSM}/windows-64/TWAINDSM.dll)
        set_tests_properties(wine-manager-acquire PROPERTIES LABELS "wine;integration" TIMEOUT 600
                             ENVIRONMENT TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix-manager)
    elseif(TARNWICK_I686_WINE)
        # The same through the 32-bit manager under the emulated Wine.
        add_test(NAME i686-manager-acquire
                 COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/manager-acquire
                         $<TARGET_FILE:tarnwick-twain-app> $<TARGET_FILE:tarnwick-ds>
                         ${TARNWICK_TWAIN_DSM}/windows-32/TWAINDSM.dll)
        set_tests_properties(i686-manager-acquire PROPERTIES
            LABELS "i686-run;integration" TIMEOUT 1800 RUN_SERIAL TRUE ENVIRONMENT
            "TARNWICK_I686_WINE=${TARNWICK_I686_WINE};TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/i686-prefix-manager"
        )
    endif()
    return()
endif()

# Unpacked privately: the tests never install it, but use the installed one when it is there.
set(private_dsm ${PROJECT_BINARY_DIR}/twain-dsm)
if(NOT EXISTS ${private_dsm}/usr/local/lib/libtwaindsm.so)
    execute_process(COMMAND dpkg-deb -x ${TARNWICK_TWAIN_DSM}/twaindsm_2.4.3-1_amd64.deb
                            ${private_dsm} COMMAND_ERROR_IS_FATAL ANY)
endif()
add_dependencies(tarnwick-integration-tests tarnwick-twain-app)
target_compile_definitions(tarnwick-integration-tests PRIVATE
                           TARNWICK_PRIVATE_DSM="${private_dsm}/usr/local/lib")
