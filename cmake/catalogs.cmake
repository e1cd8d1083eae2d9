# Message catalogs: compiled from po/ into the build tree (laid out as they sit beside a module),
# the system's sane-backends catalogs added, and all of them appended to tarnwick.ds.
find_program(TARNWICK_MSGFMT msgfmt REQUIRED)
set(TARNWICK_SANE_LOCALE_DIR /usr/share/locale CACHE PATH
    "Where the system's sane-backends.mo catalogs are taken from")

set(TARNWICK_DEFAULT_LANGUAGES cs de en es_ES fr hu it nl pl pt ru tr zh_CN zh_TW)
set(TARNWICK_SANE_LANGUAGES bg cs da de eo es_ES fi fr gl it ja nb nl no pl pt ru sv uk)
set(TARNWICK_CATALOG_DIR ${PROJECT_BINARY_DIR}/catalogs)

set(catalogs "")
function(tarnwick_msgfmt source output)
    add_custom_command(OUTPUT ${output}
                       COMMAND ${TARNWICK_MSGFMT} --check -o ${output} ${source}
                       DEPENDS ${source} VERBATIM)
    set(catalogs ${catalogs} ${output} PARENT_SCOPE)
endfunction()

foreach(lang IN LISTS TARNWICK_DEFAULT_LANGUAGES)
    file(MAKE_DIRECTORY ${TARNWICK_CATALOG_DIR}/locale/${lang}/LC_MESSAGES)
    tarnwick_msgfmt(${PROJECT_SOURCE_DIR}/po/${lang}.po
                    ${TARNWICK_CATALOG_DIR}/locale/${lang}/LC_MESSAGES/default.mo)
endforeach()
tarnwick_msgfmt(${PROJECT_SOURCE_DIR}/po/languages.po ${TARNWICK_CATALOG_DIR}/languages.mo)
# The top-level catalog holds only a header: the English one.
tarnwick_msgfmt(${PROJECT_SOURCE_DIR}/po/en.po ${TARNWICK_CATALOG_DIR}/default.mo)

# Debian names Spanish "es"; a language it has no catalog for is left out.
foreach(lang IN LISTS TARNWICK_SANE_LANGUAGES)
    set(system ${lang})
    if(lang STREQUAL "es_ES")
        set(system es)
    endif()
    set(source ${TARNWICK_SANE_LOCALE_DIR}/${system}/LC_MESSAGES/sane-backends.mo)
    if(NOT EXISTS ${source})
        continue()
    endif()
    set(output ${TARNWICK_CATALOG_DIR}/locale/${lang}/LC_MESSAGES/sane-backends.mo)
    file(MAKE_DIRECTORY ${TARNWICK_CATALOG_DIR}/locale/${lang}/LC_MESSAGES)
    add_custom_command(OUTPUT ${output} COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}
                       DEPENDS ${source} VERBATIM)
    list(APPEND catalogs ${output})
endforeach()

# The anchor the packer writes behind must be in the module whether or not code references it.
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(tarnwick-ds PRIVATE -Wl,-u,_tarnwickCatalogAnchor)
else()
    target_link_options(tarnwick-ds PRIVATE -Wl,-u,tarnwickCatalogAnchor)
endif()

add_custom_target(tarnwick-catalogs ALL DEPENDS ${catalogs})
add_dependencies(tarnwick-ds tarnwick-catalogs)
# A changed catalog relinks the module, which packs it again.
set_property(TARGET tarnwick-ds APPEND PROPERTY LINK_DEPENDS ${catalogs})

if(CMAKE_CROSSCOMPILING)
    # The packer runs on the build machine: a natively built tarnwick-pack.
    set(TARNWICK_HOST_PACK "" CACHE FILEPATH "A tarnwick-pack built for the build machine")
    if(TARNWICK_HOST_PACK)
        add_custom_command(TARGET tarnwick-ds POST_BUILD
                           COMMAND ${TARNWICK_HOST_PACK} $<TARGET_FILE:tarnwick-ds>
                                   ${TARNWICK_CATALOG_DIR}
                           VERBATIM)
    else()
        message(STATUS "TARNWICK_HOST_PACK is not set: tarnwick.ds is built without catalogs "
                       "(pass -DTARNWICK_HOST_PACK=<native build>/tarnwick-pack)")
    endif()
    return()
endif()

add_executable(tarnwick-pack ${PROJECT_SOURCE_DIR}/tools/tarnwick-pack/main.cpp)
target_link_libraries(tarnwick-pack PRIVATE tarnwick-model)
set_target_properties(tarnwick-pack PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
add_dependencies(tarnwick-ds tarnwick-pack)
add_custom_command(TARGET tarnwick-ds POST_BUILD
                   COMMAND $<TARGET_FILE:tarnwick-pack> $<TARGET_FILE:tarnwick-ds>
                           ${TARNWICK_CATALOG_DIR}
                   VERBATIM)

if(NOT TARNWICK_FUZZ)
    find_program(TARNWICK_XGETTEXT xgettext REQUIRED)
    add_test(NAME default-pot-current COMMAND ${PROJECT_SOURCE_DIR}/po/update-catalogs --check)
endif()
