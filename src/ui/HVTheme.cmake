# HVTheme: the program's look (CGlobalColors): colours, fonts and pictures from the encrypted
# theme file, the image lists, the drawing helpers, StyleLinkButton and CHHexEdit.
# HVThemeCore: the theme file reader and the colour table, Qt Core only.
# The pictures are drawn as SVG in resources/theme/svg and rendered here at build time, at
# 1x and 2x ("name@2x.png"), into the program folder's "theme" folder; the summary pictures and
# the application icon go into the resource module. The plaintext theme file is encrypted into
# the program folder like the configuration.
include_guard(GLOBAL)
if(NOT TARGET HVUi OR NOT TARGET HVGlobalData OR NOT TARGET HVXml OR NOT TARGET hvcrypt)
    return()  # needs the controls, the global data, the XML engine and the encryption tool
endif()

add_library(HVThemeCore STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CThemeColors.cpp ${CMAKE_CURRENT_LIST_DIR}/CThemeColors.h
    ${CMAKE_CURRENT_LIST_DIR}/CThemeColorsDark.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CThemeFile.cpp ${CMAKE_CURRENT_LIST_DIR}/CThemeFile.h)
target_link_libraries(HVThemeCore PUBLIC hv_options Qt6::Core HVGlobalData HVXml)
set_target_properties(HVThemeCore PROPERTIES AUTOMOC OFF)

add_library(HVTheme STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CGlobalColors.cpp ${CMAKE_CURRENT_LIST_DIR}/CGlobalColors.h
    ${CMAKE_CURRENT_LIST_DIR}/CThemeImage.cpp ${CMAKE_CURRENT_LIST_DIR}/CThemeImage.h
    ${CMAKE_CURRENT_LIST_DIR}/CThemeImageList.cpp ${CMAKE_CURRENT_LIST_DIR}/CThemeImageList.h
    ${CMAKE_CURRENT_LIST_DIR}/CThemeDraw.cpp ${CMAKE_CURRENT_LIST_DIR}/CThemeDraw.h
    ${CMAKE_CURRENT_LIST_DIR}/CHHexEdit.cpp ${CMAKE_CURRENT_LIST_DIR}/CHHexEdit.h)
target_link_libraries(HVTheme PUBLIC hv_options HVThemeCore HVUi Qt6::Gui Qt6::Widgets
    PRIVATE HVGlobalData HVResources)

# --- Pictures ------------------------------------------------------------------------------
set(HV_THEME_SOURCE ${PROJECT_SOURCE_DIR}/resources/theme)
set(HV_THEME_OUT ${HV_PROGRAM_DIR}/theme)
find_program(HV_RSVG_CONVERT rsvg-convert)
if(NOT HV_RSVG_CONVERT)
    message(WARNING "rsvg-convert (librsvg2-bin) not found: the theme's pictures are not built")
else()
    # Theme pictures: resources/theme/svg/<Key>.svg -> theme/<Key>.png and theme/<Key>@2x.png;
    # their dark variants svg/dark/<Key>.svg -> theme/dark/<Key>.png and theme/dark/<Key>@2x.png.
    set(theme_pngs "")
    foreach(variant light dark)
        set(source_dir ${HV_THEME_SOURCE}/svg)
        set(out_dir ${HV_THEME_OUT})
        if(variant STREQUAL "dark")
            set(source_dir ${source_dir}/dark)
            set(out_dir ${out_dir}/dark)
        endif()
        file(GLOB theme_svgs CONFIGURE_DEPENDS ${source_dir}/*.svg)
        foreach(svg IN LISTS theme_svgs)
            get_filename_component(name ${svg} NAME_WE)
            set(png1 ${out_dir}/${name}.png)
            set(png2 ${out_dir}/${name}@2x.png)
            add_custom_command(OUTPUT ${png1} ${png2}
                COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
                COMMAND ${HV_RSVG_CONVERT} --zoom 1 --format png --output ${png1} ${svg}
                COMMAND ${HV_RSVG_CONVERT} --zoom 2 --format png --output ${png2} ${svg}
                DEPENDS ${svg}
                COMMENT "Rendering the ${variant} theme picture ${name}"
                VERBATIM)
            list(APPEND theme_pngs ${png1} ${png2})
        endforeach()
    endforeach()

    # Resource-module pictures: resources/theme/svg/res/<kind>-<number>.svg -> <kind>/<number>.png.
    set(HV_THEME_RES_OUT ${CMAKE_CURRENT_BINARY_DIR}/HVThemeResources)
    file(GLOB res_svgs CONFIGURE_DEPENDS ${HV_THEME_SOURCE}/svg/res/*.svg)
    set(res_pngs "")
    set(res_entries "")
    foreach(svg IN LISTS res_svgs)
        get_filename_component(name ${svg} NAME_WE)
        if(NOT name MATCHES "^(bmp|icon)-([0-9]+)$")
            message(FATAL_ERROR "${svg}: resource pictures are named bmp-<number>.svg or icon-<number>.svg")
        endif()
        set(kind ${CMAKE_MATCH_1})
        set(number ${CMAKE_MATCH_2})
        set(png ${HV_THEME_RES_OUT}/${kind}/${number}.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${HV_THEME_RES_OUT}/${kind}
            COMMAND ${HV_RSVG_CONVERT} --zoom 1 --format png --output ${png} ${svg}
            DEPENDS ${svg}
            COMMENT "Rendering the resource picture ${kind}/${number}"
            VERBATIM)
        list(APPEND res_pngs ${png})
        # Bitmaps go in as the drawing itself: the mark-up label renders them at the screen's
        # pixel ratio (icons stay pictures).
        if(kind STREQUAL "bmp")
            list(APPEND res_entries "${kind}/${number}.svg=${svg}")
        else()
            list(APPEND res_entries "${kind}/${number}.png=${png}")
        endif()
    endforeach()

    # The application icon for the desktop (and the window), in the usual sizes.
    set(icon_svg ${HV_THEME_SOURCE}/svg/app/halvonorvane.svg)
    set(icon_pngs "")
    foreach(size 16 24 32 48 64 128 256)
        set(png ${HV_THEME_OUT}/icons/${size}x${size}/halvonorvane.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${HV_THEME_OUT}/icons/${size}x${size}
            COMMAND ${HV_RSVG_CONVERT} --width ${size} --height ${size} --format png --output ${png} ${icon_svg}
            DEPENDS ${icon_svg}
            COMMENT "Rendering the application icon at ${size} pixels"
            VERBATIM)
        list(APPEND icon_pngs ${png})
    endforeach()
    set(icon_res ${HV_THEME_RES_OUT}/icon/4008.png)
    add_custom_command(OUTPUT ${icon_res} ${HV_THEME_OUT}/icons/scalable/halvonorvane.svg
        COMMAND ${CMAKE_COMMAND} -E make_directory ${HV_THEME_RES_OUT}/icon ${HV_THEME_OUT}/icons/scalable
        COMMAND ${HV_RSVG_CONVERT} --width 256 --height 256 --format png --output ${icon_res} ${icon_svg}
        COMMAND ${CMAKE_COMMAND} -E copy ${icon_svg} ${HV_THEME_OUT}/icons/scalable/halvonorvane.svg
        DEPENDS ${icon_svg}
        COMMENT "Rendering the application icon for the resource module"
        VERBATIM)
    list(APPEND res_pngs ${icon_res})
    list(APPEND res_entries "icon/4008.png=${icon_res}")

    add_custom_target(HVThemePictures ALL DEPENDS ${theme_pngs} ${icon_pngs})
    add_custom_target(HVThemeResourcePictures DEPENDS ${res_pngs})
    if(TARGET HVResourceModule AND res_entries)
        hv_add_resource_files(HVResourceModule ${res_entries} DEPENDS HVThemeResourcePictures)
    endif()
    add_dependencies(HVTheme HVThemePictures)
endif()

# --- The theme file --------------------------------------------------------------------------
# Encrypted with the configuration's fixed password and the same cheap key-derivation cost.
set(HV_THEME_PLAIN ${HV_THEME_SOURCE}/Theme_norvane.xml)
set(HV_THEME_ENCRYPTED ${HV_PROGRAM_DIR}/Theme_norvane.xml.hvnc)
set(HV_THEME_PASSWORD_FILE ${CMAKE_CURRENT_BINARY_DIR}/HVTheme.dir/theme-password.txt)
file(GENERATE OUTPUT ${HV_THEME_PASSWORD_FILE} CONTENT "4r8tkavosmwe\n")
add_custom_command(OUTPUT ${HV_THEME_ENCRYPTED}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${HV_PROGRAM_DIR}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${HV_THEME_ENCRYPTED}
    COMMAND $<TARGET_FILE:hvcrypt> encrypt --quiet --key-bits 256 --kdf-mem-kib 8192 --kdf-passes 1
            --password-file ${HV_THEME_PASSWORD_FILE} --output ${HV_THEME_ENCRYPTED} ${HV_THEME_PLAIN}
    DEPENDS hvcrypt ${HV_THEME_PLAIN} ${HV_THEME_PASSWORD_FILE}
    COMMENT "Encrypting the theme into ${HV_THEME_ENCRYPTED}"
    VERBATIM)
add_custom_target(HVThemeFile ALL DEPENDS ${HV_THEME_ENCRYPTED})
add_dependencies(HVTheme HVThemeFile)

# The theme's screens for the screenshot program (scripts/screenshots.sh): theme_sheet,
# theme_welcome and theme_page.
set_property(GLOBAL APPEND PROPERTY HV_SCREEN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/HVThemeScreens.cpp)
set_property(GLOBAL APPEND PROPERTY HV_SCREEN_LIBS HVTheme HVGlobalData HVResources)
