# The pictures of the resources are drawn by the toolkit's own code: a small program built for the
# build machine writes them into the build tree.
find_program(TARNWICK_HOST_CXX NAMES c++ g++ REQUIRED)
set(TARNWICK_PICTURES ${PROJECT_BINARY_DIR}/pictures)
file(MAKE_DIRECTORY ${TARNWICK_PICTURES})
set(picture_sources ${PROJECT_SOURCE_DIR}/packaging/pictures/make_pictures.cpp
    ${PROJECT_SOURCE_DIR}/src/ui/tool_pictures.cpp ${PROJECT_SOURCE_DIR}/src/ui/canvas.cpp)
set(picture_files ${TARNWICK_PICTURES}/toolbar16.bmp ${TARNWICK_PICTURES}/toolbar32.bmp
    ${TARNWICK_PICTURES}/gammabutton.bmp ${TARNWICK_PICTURES}/tarnwick.ico)
add_custom_command(OUTPUT ${TARNWICK_PICTURES}/make-pictures
                   COMMAND ${TARNWICK_HOST_CXX} -std=c++20 -O1 -I${PROJECT_SOURCE_DIR}/src
                           -o ${TARNWICK_PICTURES}/make-pictures ${picture_sources}
                   DEPENDS ${picture_sources} ${PROJECT_SOURCE_DIR}/src/ui/tool_pictures.h
                           ${PROJECT_SOURCE_DIR}/src/ui/canvas.h ${PROJECT_SOURCE_DIR}/src/ui/types.h
                           ${PROJECT_SOURCE_DIR}/src/options/gamma_button_picture.h
                   VERBATIM)
add_custom_command(OUTPUT ${picture_files}
                   COMMAND ${TARNWICK_PICTURES}/make-pictures ${TARNWICK_PICTURES}
                   DEPENDS ${TARNWICK_PICTURES}/make-pictures VERBATIM)
add_custom_target(tarnwick-pictures DEPENDS ${picture_files})

configure_file(${PROJECT_SOURCE_DIR}/packaging/ui.rc.in ${TARNWICK_PICTURES}/ui.rc @ONLY)
set_source_files_properties(${TARNWICK_PICTURES}/ui.rc PROPERTIES OBJECT_DEPENDS
    "${picture_files};${PROJECT_SOURCE_DIR}/packaging/tarnwick.manifest")
target_sources(tarnwick-ds PRIVATE ${TARNWICK_PICTURES}/ui.rc)
add_dependencies(tarnwick-ds tarnwick-pictures)
