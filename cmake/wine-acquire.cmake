# The Windows harness and module under wine64 against a private saned on loopback, the images
# compared with those the Linux harness and module of a native build take from the same saned
# (TARNWICK_LINUX_BUILD, default build/native). Both run against the real daemon: integration.
set(TARNWICK_LINUX_BUILD ${PROJECT_SOURCE_DIR}/build/native CACHE PATH
    "The native build whose harness and module take the reference images")
set(linux_scan ${TARNWICK_LINUX_BUILD}/tarnwick-scan)
set(linux_ds ${TARNWICK_LINUX_BUILD}/tarnwick.ds)
# The whole colour page, in the build's shared prefix (settings through the per-user file).
add_test(NAME wine-acquire
         COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/acquire-compare $<TARGET_FILE:tarnwick-scan>
                 $<TARGET_FILE:tarnwick-ds> ${linux_scan} ${linux_ds})
set_tests_properties(wine-acquire PROPERTIES LABELS "wine;integration" TIMEOUT 300
                     ENVIRONMENT TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix
                     RESOURCE_LOCK tarnwick-wineprefix)
# A framed inch with a machine-wide settings file, in a prefix of its own (the file would be
# found by every other program of the shared prefix).
add_test(NAME wine-acquire-frame
         COMMAND ${PROJECT_SOURCE_DIR}/tests/integration/acquire-under-wine
                 $<TARGET_FILE:tarnwick-scan>
                 $<TARGET_FILE:tarnwick-ds> ${linux_scan} ${linux_ds}
                 ${PROJECT_BINARY_DIR}/wine-acquire)
set_tests_properties(wine-acquire-frame PROPERTIES LABELS "wine;integration" TIMEOUT 900
                     ENVIRONMENT TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix-acquire)
# An eSCL scanner with no saned: the native build's AirSane over the test backend, scanned by the
# Windows harness and module (WIC decoding): PNG straight, JPEG through the native forwarder that
# hides AirSane's PNG formats, and a feeder batch. Skips when the native build holds neither.
add_test(NAME wine-escl-acquire
         COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/escl-acquire $<TARGET_FILE:tarnwick-scan>
                 $<TARGET_FILE:tarnwick-ds> ${TARNWICK_LINUX_BUILD}/airsane/build/airsaned
                 ${TARNWICK_LINUX_BUILD}/escl-without-png)
set_tests_properties(wine-escl-acquire PROPERTIES LABELS "wine;integration" TIMEOUT 600
                     SKIP_RETURN_CODE 77
                     ENVIRONMENT TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix
                     RESOURCE_LOCK tarnwick-wineprefix)
# The first start on the office network (tests/netns), the Windows harness and module under
# wine64 on its client side, in a prefix of its own: its Wine runs in the client's namespace.
set(TARNWICK_AVAHI_ROOT "" CACHE PATH "A root holding usr/sbin/avahi-daemon, for the office network")
add_test(NAME wine-office-first-start
         COMMAND ${PROJECT_SOURCE_DIR}/tests/netns/office-first-start-wine
                 $<TARGET_FILE:tarnwick-scan> $<TARGET_FILE:tarnwick-ds>)
set_tests_properties(wine-office-first-start PROPERTIES LABELS "wine;network;integration"
                     TIMEOUT 600 SKIP_RETURN_CODE 77
                     ENVIRONMENT "TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix-office;TARNWICK_AVAHI_ROOT=${TARNWICK_AVAHI_ROOT}")
# The same with an eSCL scanner instead of saned: AirSane of the native build, on the host side.
add_test(NAME wine-office-escl-first-start
         COMMAND ${PROJECT_SOURCE_DIR}/tests/netns/office-escl-first-start-wine
                 $<TARGET_FILE:tarnwick-scan> $<TARGET_FILE:tarnwick-ds>
                 ${TARNWICK_LINUX_BUILD}/airsane/build/airsaned)
set_tests_properties(wine-office-escl-first-start PROPERTIES LABELS "wine;network;integration"
                     TIMEOUT 600 SKIP_RETURN_CODE 77
                     ENVIRONMENT "TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix-office-escl;TARNWICK_AVAHI_ROOT=${TARNWICK_AVAHI_ROOT}")
