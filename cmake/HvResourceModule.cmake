# Building a resource module: a Qt binary resource file (.rcc) holding a packed string table
# (":/strings/table") and numbered pictures (":/bmp/<number>.<type>", ":/icon/<number>.<type>"),
# stored without compression (the program checks the file before use and refuses compressed entries).
#
# hv_add_resource_module(<target> OUTPUT <file.rcc> STRINGS <table.tsv> [IMAGES <folder>])
#   Every file in <folder>/bmp and <folder>/icon must be named <number>.<type>; other files and
#   folders under <folder> are not looked at, and the folder may be missing or empty. New pictures
#   are picked up at the next build.
#
# hv_add_resource_files(<target> <kind>/<number>.<type>=<file>... [DEPENDS <target>...])
#   Adds files made by another build step (a picture rendered at build time, say); DEPENDS names
#   the targets that make them.
set(HV_RESOURCE_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})

function(hv_add_resource_module target)
    cmake_parse_arguments(ARG "" "OUTPUT;STRINGS;IMAGES" "" ${ARGN})
    if(NOT ARG_OUTPUT OR NOT ARG_STRINGS)
        message(FATAL_ERROR "hv_add_resource_module(${target}): OUTPUT and STRINGS are required")
    endif()
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${target}.dir)
    set(table ${work}/strings.bin)
    set(qrc ${work}/${target}.qrc)
    set(filelist ${work}/files.txt)

    add_custom_command(OUTPUT ${table}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${work}
        COMMAND hvstrgen --binary ${table} ${ARG_STRINGS}
        DEPENDS hvstrgen ${ARG_STRINGS}
        COMMENT "Packing the string table ${ARG_STRINGS}"
        VERBATIM)

    set(entries "strings/table=${table}")
    set(deps ${table})
    if(ARG_IMAGES)
        file(GLOB images CONFIGURE_DEPENDS LIST_DIRECTORIES false ${ARG_IMAGES}/bmp/* ${ARG_IMAGES}/icon/*)
        list(SORT images)
        set(seen "")
        foreach(image IN LISTS images)
            get_filename_component(fname ${image} NAME)
            if(fname MATCHES "^\\.")
                continue()  # editor and system leftovers
            endif()
            file(RELATIVE_PATH rel ${ARG_IMAGES} ${image})
            if(NOT rel MATCHES "^(bmp|icon)/([0-9]+)\\.[A-Za-z0-9]+$")
                message(FATAL_ERROR "${image}: pictures of the resource module are named bmp/<number>.<type> "
                                    "or icon/<number>.<type>")
            endif()
            set(key "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}")
            if(key IN_LIST seen)
                message(FATAL_ERROR "${image}: ${key} is there twice")
            endif()
            list(APPEND seen ${key})
            list(APPEND entries "${rel}=${image}")
            list(APPEND deps ${image})
        endforeach()
    endif()

    add_custom_target(${target} ALL DEPENDS ${ARG_OUTPUT})
    set_property(TARGET ${target} PROPERTY HV_RESOURCE_FILES "")
    set_property(TARGET ${target} PROPERTY HV_RESOURCE_DEPENDS "")

    string(JOIN "\n" listed ${entries})
    file(GENERATE OUTPUT ${filelist}
        CONTENT "${listed}\n$<JOIN:$<TARGET_PROPERTY:${target},HV_RESOURCE_FILES>,\n>\n")

    get_filename_component(outdir ${ARG_OUTPUT} DIRECTORY)
    add_custom_command(OUTPUT ${ARG_OUTPUT}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${outdir}
        COMMAND ${CMAKE_COMMAND} -DLIST=${filelist} -DQRC=${qrc} -P ${HV_RESOURCE_CMAKE_DIR}/MakeQrc.cmake
        COMMAND $<TARGET_FILE:Qt6::rcc> --binary --no-compress -o ${ARG_OUTPUT} ${qrc}
        DEPENDS ${deps} ${filelist} ${HV_RESOURCE_CMAKE_DIR}/MakeQrc.cmake
                "$<TARGET_PROPERTY:${target},HV_RESOURCE_DEPENDS>"
        COMMENT "Building the resource module ${ARG_OUTPUT}"
        VERBATIM)
endfunction()

function(hv_add_resource_files target)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    foreach(entry IN LISTS ARG_UNPARSED_ARGUMENTS)
        if(NOT entry MATCHES "^(bmp|icon)/[0-9]+\\.[A-Za-z0-9]+=(/.+)$")
            message(FATAL_ERROR "hv_add_resource_files(${target}): '${entry}' is not "
                                "<bmp|icon>/<number>.<type>=<absolute path>")
        endif()
        set_property(TARGET ${target} APPEND PROPERTY HV_RESOURCE_FILES "${entry}")
        set_property(TARGET ${target} APPEND PROPERTY HV_RESOURCE_DEPENDS "${CMAKE_MATCH_2}")
    endforeach()
    if(ARG_DEPENDS)
        add_dependencies(${target} ${ARG_DEPENDS})
    endif()
endfunction()
