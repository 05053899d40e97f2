# The screenshot program hvscreens renders every registered widget to a PNG file (see
# scripts/screenshots.sh). Any folder adds its own screens with
#
#   hv_add_screens(SOURCES MyScreens.cpp LIBS MyGuiTarget)
#
# from a CMakeLists.txt processed after this one (src/pages, tests/...), or, from anywhere, with
#   set_property(GLOBAL APPEND PROPERTY HV_SCREEN_SOURCES /absolute/MyScreens.cpp)
#   set_property(GLOBAL APPEND PROPERTY HV_SCREEN_LIBS MyGuiTarget)
# Each source registers its widgets with HV_SCREEN("name") { ... return widget; } from
# "ui/tools/HVScreenRegistry.h". The program is put together once the whole tree is configured.
set(HV_SCREENS_DIR ${CMAKE_CURRENT_LIST_DIR} CACHE INTERNAL "Folder of the screenshot program")

function(hv_add_screens)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    foreach(src IN LISTS ARG_SOURCES)
        get_filename_component(abs ${src} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
        set_property(GLOBAL APPEND PROPERTY HV_SCREEN_SOURCES ${abs})
    endforeach()
    set_property(GLOBAL APPEND PROPERTY HV_SCREEN_LIBS ${ARG_LIBS})
endfunction()

function(hv_make_screens_program)
    get_property(sources GLOBAL PROPERTY HV_SCREEN_SOURCES)
    get_property(libs GLOBAL PROPERTY HV_SCREEN_LIBS)
    list(REMOVE_DUPLICATES sources)
    list(REMOVE_DUPLICATES libs)
    add_executable(hvscreens
        ${HV_SCREENS_DIR}/hvscreens.cpp
        ${HV_SCREENS_DIR}/HVScreenRegistry.cpp
        ${HV_SCREENS_DIR}/HVScreenRegistry.h
        ${sources})
    target_link_libraries(hvscreens PRIVATE hv_options HVUi ${libs})
endfunction()

hv_add_screens(SOURCES ${CMAKE_CURRENT_LIST_DIR}/ScreensControls.cpp ${CMAKE_CURRENT_LIST_DIR}/ScreensAfx.cpp)
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL hv_make_screens_program)
