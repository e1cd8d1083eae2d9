# The Windows toolkit under wine64 with a display (Xvfb): its peers are checked through Win32
# messages, and the forms are shown and photographed (screenshot-<form>.png in the build folder).
file(GLOB wine_ui_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/wine/ui/*.cpp)
add_executable(tarnwick-wine-ui ${wine_ui_sources}
               ${PROJECT_SOURCE_DIR}/tests/wine/window/layout_check.cpp
               ${PROJECT_SOURCE_DIR}/tests/support/scoped_environment.cpp
               ${TARNWICK_PICTURES}/ui.rc)
target_include_directories(tarnwick-wine-ui PRIVATE ${PROJECT_SOURCE_DIR}/tests
                           ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tarnwick-wine-ui PRIVATE tarnwick-model gtest)
add_dependencies(tarnwick-wine-ui tarnwick-pictures)

set(wine_ui_environment TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix)
add_test(NAME wine-ui-tests
         COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/with-display ${PROJECT_SOURCE_DIR}/tests/wine/wine-run
                 $<TARGET_FILE:tarnwick-wine-ui> --gtest_brief=1)
# The scanning window has a test of its own below (it needs a daemon).
# The toolkit's samples; the product's forms follow at every DPI below.
set(TARNWICK_SCREENSHOT_FORMS widgets picture)
foreach(form IN LISTS TARNWICK_SCREENSHOT_FORMS)
    add_test(NAME wine-screenshot-${form}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/screenshot
                     ${PROJECT_BINARY_DIR}/screenshot-${form}.png $<TARGET_FILE:tarnwick-wine-ui>
                     ${form})
endforeach()
list(TRANSFORM TARNWICK_SCREENSHOT_FORMS PREPEND wine-screenshot- OUTPUT_VARIABLE shots)
set_tests_properties(wine-ui-tests ${shots} PROPERTIES LABELS wine TIMEOUT 600
                     ENVIRONMENT "${wine_ui_environment}")
# One Wine session at a time in the prefix: a session's desktop keeps the display (or the lack of
# one) of the program that started it, and each of these programs has a display of its own.
set_tests_properties(wine-unit-tests wine-ui-tests ${shots} PROPERTIES
                     RESOURCE_LOCK tarnwick-wineprefix)

# The product's forms and the scanning window at 100, 125, 150 and 200 percent, each DPI in a
# prefix of its own (a Wine session keeps the DPI it started with). The pictures at 150 percent
# keep the plain names; the others end in their DPI.
set(TARNWICK_SCREENSHOT_DPIS 96 120 144 192)
function(tarnwick_dpi_test name dpi)
    if(dpi EQUAL 96)
        set(prefix ${PROJECT_BINARY_DIR}/wineprefix)
        set(lock tarnwick-wineprefix)
    else()
        set(prefix ${PROJECT_BINARY_DIR}/wineprefix-${dpi}dpi)
        set(lock tarnwick-wineprefix-${dpi}dpi)
    endif()
    set(suffix -${dpi}dpi)
    if(dpi EQUAL 144)
        set(suffix "")
    endif()
    set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT 600 RESOURCE_LOCK ${lock}
        ENVIRONMENT "TARNWICK_WINEPREFIX=${prefix};TARNWICK_WINE_DPI=${dpi};TARNWICK_SHOT_SUFFIX=${suffix}")
endfunction()
foreach(form settings about gamma)
    foreach(dpi IN LISTS TARNWICK_SCREENSHOT_DPIS)
        set(picture screenshot-${form}-${dpi}dpi.png)
        if(dpi EQUAL 144)
            set(picture screenshot-${form}.png)
        endif()
        add_test(NAME wine-screenshot-${form}-${dpi}dpi
                 COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/screenshot
                         ${PROJECT_BINARY_DIR}/${picture} $<TARGET_FILE:tarnwick-wine-ui> ${form})
        tarnwick_dpi_test(wine-screenshot-${form}-${dpi}dpi ${dpi})
    endforeach()
endforeach()
# Greyed captions in the colours of Windows 10, in a prefix of their own that has them.
add_test(NAME wine-caption-colour
         COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/with-display ${PROJECT_SOURCE_DIR}/tests/wine/wine-run
                 $<TARGET_FILE:tarnwick-wine-ui> --gtest_filter=*InactiveOptionsCaption*)
set_tests_properties(wine-caption-colour PROPERTIES LABELS wine TIMEOUT 600 ENVIRONMENT
    "TARNWICK_WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix-windows10;TARNWICK_WINE_COLOURS=windows10")

# The scanning window on a private saned: its preview with two regions photographed
# (screenshot-window.png), and the batch of both regions taken by the application side; in
# German, the window at first start, its option pages and the About box
# (screenshot-de-<name>.png). Both runs fail on any text the window cuts.
add_executable(tarnwick-wine-window ${PROJECT_SOURCE_DIR}/tests/wine/window/window_run.cpp
               ${PROJECT_SOURCE_DIR}/tests/wine/window/host_awareness.cpp
               ${PROJECT_SOURCE_DIR}/tests/wine/window/layout_check.cpp
               ${PROJECT_SOURCE_DIR}/tests/support/scoped_environment.cpp
               ${TARNWICK_PICTURES}/ui.rc)
target_include_directories(tarnwick-wine-window PRIVATE ${PROJECT_SOURCE_DIR}/tests
                           ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tarnwick-wine-window PRIVATE tarnwick-model)
add_dependencies(tarnwick-wine-window tarnwick-pictures tarnwick-catalogs)
# The program carries the catalogs as the module does.
target_link_options(tarnwick-wine-window PRIVATE -Wl,-u,tarnwickCatalogAnchor)
if(TARNWICK_HOST_PACK)
    add_custom_command(TARGET tarnwick-wine-window POST_BUILD
                       COMMAND ${TARNWICK_HOST_PACK} $<TARGET_FILE:tarnwick-wine-window>
                               ${TARNWICK_CATALOG_DIR}
                       VERBATIM)
endif()
foreach(dpi IN LISTS TARNWICK_SCREENSHOT_DPIS)
    add_test(NAME wine-screenshot-window-${dpi}dpi
             COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/window-screenshot ${PROJECT_BINARY_DIR}
                     $<TARGET_FILE:tarnwick-wine-window>)
    add_test(NAME wine-screenshot-german-${dpi}dpi
             COMMAND ${PROJECT_SOURCE_DIR}/tests/wine/window-screenshot ${PROJECT_BINARY_DIR}
                     $<TARGET_FILE:tarnwick-wine-window> de)
    tarnwick_dpi_test(wine-screenshot-window-${dpi}dpi ${dpi})
    tarnwick_dpi_test(wine-screenshot-german-${dpi}dpi ${dpi})
endforeach()
