# `cmake --install` layout and the Debian package (`cpack -G DEB` in the build folder).
#
#   <prefix>/lib/halvonorvane/     the program folder: programs, libraries, resource module,
#                                  encrypted configuration and theme, theme pictures, help pages,
#                                  the file-manager extension and its registration tool
#   <prefix>/bin/hnv, halvonorvane symbolic links into the program folder
#   <prefix>/share/applications/   desktop entry (opens .hvnc files);  share/icons/hicolor/ the
#                                  program's and the .hvnc type's icons, SVG and PNG sizes
#   <prefix>/share/mime/packages/  the .hvnc type;  share/man/man1/ manual pages
#   <prefix>/share/doc/<package>/  copyright and changelog
#   /etc/xdg/Halvo-Soft/HalvoNorvane.conf   where the program is (group "App Paths"), a conffile
#   the GNOME Files extension folder: libHVExtNautilus.so, in its own package (component
#                                  "nautilus", halvonorvane-nautilus)
#
# The programs find their libraries through RPATH $ORIGIN and their data beside themselves. The
# package installs files only: no maintainer script registers anything, sets a default
# application or touches a home folder. The GNOME Files module reads each user's settings at
# every menu, so it shows nothing until that user's program has switched the menus on.
# The core-only build (HV_CORE_ONLY) installs no graphical program, theme or help pages.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Installation prefix" FORCE)
endif()
include(GNUInstallDirs)

set(HV_INSTALL_PROGRAM_DIR lib/halvonorvane CACHE STRING "Program folder, relative to the prefix")
set(HV_INSTALL_FULL_PROGRAM_DIR ${CMAKE_INSTALL_PREFIX}/${HV_INSTALL_PROGRAM_DIR})

# --- Programs and libraries ---------------------------------------------------------------
set(HV_INSTALL_PROGRAMS hnv hvcrypt)
if(NOT HV_CORE_ONLY)
    list(APPEND HV_INSTALL_PROGRAMS HalvoNorvane)
endif()
# Only the programs load the package's own library; the extension's pieces are self-contained.
set_target_properties(${HV_INSTALL_PROGRAMS} PROPERTIES INSTALL_RPATH "\$ORIGIN")
install(TARGETS ${HV_INSTALL_PROGRAMS} hvext-launch hvregsvr HVGlobalMFC HVExt
    RUNTIME DESTINATION ${HV_INSTALL_PROGRAM_DIR} COMPONENT program
    LIBRARY DESTINATION ${HV_INSTALL_PROGRAM_DIR} COMPONENT program NAMELINK_SKIP)

# --- Data built into the program folder -----------------------------------------------------
install(FILES ${HV_PROGRAM_DIR}/${HV_RESOURCE_FILE_NAME} ${HV_PROGRAM_DIR}/Config_norvane.xml.hvnc
    DESTINATION ${HV_INSTALL_PROGRAM_DIR} COMPONENT program)
if(NOT HV_CORE_ONLY)
    install(FILES ${HV_PROGRAM_DIR}/Theme_norvane.xml.hvnc DESTINATION ${HV_INSTALL_PROGRAM_DIR} COMPONENT program)
    install(DIRECTORY ${HV_PROGRAM_DIR}/theme/ DESTINATION ${HV_INSTALL_PROGRAM_DIR}/theme COMPONENT program
        OPTIONAL FILES_MATCHING PATTERN "*.png" PATTERN "*.ico" PATTERN "*.svg")
    install(DIRECTORY ${HV_PROGRAM_DIR}/help/ DESTINATION ${HV_INSTALL_PROGRAM_DIR}/help COMPONENT program OPTIONAL)
endif()

# --- Commands on the PATH ------------------------------------------------------------------
set(HV_LINKS_DIR ${CMAKE_BINARY_DIR}/hv-install-links)
file(MAKE_DIRECTORY ${HV_LINKS_DIR})
file(RELATIVE_PATH HV_BIN_TO_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR} ${HV_INSTALL_FULL_PROGRAM_DIR})
set(HV_INSTALL_LINKS "hnv=hnv")
if(NOT HV_CORE_ONLY)
    list(APPEND HV_INSTALL_LINKS "halvonorvane=HalvoNorvane")
endif()
foreach(pair IN LISTS HV_INSTALL_LINKS)
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 link)
    list(GET pair 1 target)
    file(CREATE_LINK ${HV_BIN_TO_PROGRAM}/${target} ${HV_LINKS_DIR}/${link} SYMBOLIC)
    install(FILES ${HV_LINKS_DIR}/${link} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
endforeach()

# --- Desktop integration ------------------------------------------------------------------
set(HV_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
if(NOT HV_CORE_ONLY)
    install(FILES ${HV_PACKAGING_DIR}/halvonorvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT program)
    # Where the program is, for the file association and the file-manager extension.
    configure_file(${HV_PACKAGING_DIR}/HalvoNorvane.conf.in ${CMAKE_BINARY_DIR}/hv-install-links/HalvoNorvane.conf @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/hv-install-links/HalvoNorvane.conf
        DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/Halvo-Soft COMPONENT program)
endif()
install(FILES ${HV_PACKAGING_DIR}/halvonorvane-hvnc.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    COMPONENT program)

# Icons: the program's (apps) and the .hvnc type's (mimetypes), as SVG and rendered to the
# usual PNG sizes at build time.
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/theme/svg/halvonorvane.svg)
    set(HV_ICON ${PROJECT_SOURCE_DIR}/resources/theme/svg/halvonorvane.svg)
else()
    set(HV_ICON ${HV_PACKAGING_DIR}/halvonorvane.svg)
endif()
set(HV_ICONS "apps=halvonorvane=${HV_ICON}" "mimetypes=application-x-hvnc=${HV_PACKAGING_DIR}/application-x-hvnc.svg")
set(HV_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(HV_RSVG_CONVERT rsvg-convert)
set(hv_icon_outputs "")
foreach(icon IN LISTS HV_ICONS)
    string(REPLACE "=" ";" icon "${icon}")
    list(GET icon 0 context)
    list(GET icon 1 name)
    list(GET icon 2 svg)
    install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/${context}
        RENAME ${name}.svg COMPONENT program)
    if(HV_RSVG_CONVERT)
        foreach(size IN LISTS HV_ICON_SIZES)
            set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${context}/${name}.png)
            add_custom_command(OUTPUT ${png}
                COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${context}
                COMMAND ${HV_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
                DEPENDS ${svg}
                COMMENT "Rendering the icon ${name} at ${size}x${size}")
            list(APPEND hv_icon_outputs ${png})
            install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/${context}
                COMPONENT program)
        endforeach()
    endif()
endforeach()
if(hv_icon_outputs)
    add_custom_target(HVIcons ALL DEPENDS ${hv_icon_outputs})
else()
    message(STATUS "rsvg-convert not found: only the SVG icons are installed")
endif()

# The GNOME Files module, in the system extension folder.
if(NAUTILUS_EXT_FOUND)
    pkg_get_variable(HV_NAUTILUS_EXTENSION_DIR libnautilus-extension-4 extensiondir)
    # Below the installation prefix, where the library folder of GNOME Files is.
    string(REGEX REPLACE "^/usr/" "" HV_NAUTILUS_EXTENSION_DIR "${HV_NAUTILUS_EXTENSION_DIR}")
    install(TARGETS HVExtNautilus LIBRARY DESTINATION ${HV_NAUTILUS_EXTENSION_DIR} COMPONENT nautilus)
endif()

# --- Manual pages (compressed at build time) ------------------------------------------------
find_program(HV_GZIP gzip)
set(HV_MAN_OUT ${CMAKE_BINARY_DIR}/man)
set(hv_man_outputs "")
foreach(page hnv halvonorvane hvcrypt)
    set(src ${PROJECT_SOURCE_DIR}/docs/man/${page}.1)
    if(HV_GZIP AND EXISTS ${src})
        add_custom_command(OUTPUT ${HV_MAN_OUT}/${page}.1.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${HV_MAN_OUT}
            COMMAND ${HV_GZIP} -9nc ${src} > ${HV_MAN_OUT}/${page}.1.gz
            DEPENDS ${src}
            COMMENT "Compressing the manual page ${page}(1)")
        list(APPEND hv_man_outputs ${HV_MAN_OUT}/${page}.1.gz)
    endif()
endforeach()
if(hv_man_outputs)
    add_custom_target(HVManPages ALL DEPENDS ${hv_man_outputs})
    install(FILES ${hv_man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
endif()

# --- Debian package(s) ----------------------------------------------------------------------
# halvonorvane (component "program") and, when the module is built, halvonorvane-nautilus
# (component "nautilus"), which halvonorvane recommends: GNOME Files is optional.
set(HV_DEB_DIR ${CMAKE_BINARY_DIR}/hv-deb)
set(HV_DEB_PACKAGES halvonorvane)
if(NAUTILUS_EXT_FOUND)
    list(APPEND HV_DEB_PACKAGES halvonorvane-nautilus)
endif()
find_program(HV_GZIP_DOC gzip)
foreach(HV_DEB_PACKAGE IN LISTS HV_DEB_PACKAGES)
    set(component program)
    if(HV_DEB_PACKAGE STREQUAL "halvonorvane-nautilus")
        set(component nautilus)
    endif()
    configure_file(${HV_PACKAGING_DIR}/changelog.in ${HV_DEB_DIR}/${HV_DEB_PACKAGE}/changelog @ONLY)
    if(HV_GZIP_DOC)
        add_custom_command(OUTPUT ${HV_DEB_DIR}/${HV_DEB_PACKAGE}/changelog.gz
            COMMAND ${HV_GZIP_DOC} -9nfk ${HV_DEB_DIR}/${HV_DEB_PACKAGE}/changelog
            DEPENDS ${HV_DEB_DIR}/${HV_DEB_PACKAGE}/changelog)
        add_custom_target(HVDebChangelog-${component} ALL DEPENDS ${HV_DEB_DIR}/${HV_DEB_PACKAGE}/changelog.gz)
        install(FILES ${HV_DEB_DIR}/${HV_DEB_PACKAGE}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${HV_DEB_PACKAGE} COMPONENT ${component})
    endif()
    install(FILES ${HV_PACKAGING_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${HV_DEB_PACKAGE}
        COMPONENT ${component})
endforeach()
# The system-wide registration is a configuration file the administrator may change.
file(WRITE ${HV_DEB_DIR}/conffiles "${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/Halvo-Soft/HalvoNorvane.conf\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halvonorvane)
set(CPACK_PACKAGE_VENDOR Halvo-Soft)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Halvo-Soft <packages@halvo-norvane.example>")
# Each package's description begins with its own synopsis line (so no common summary is set).
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://halvo-norvane.example")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package's own library, as built (dpkg-shlibdeps finds it there and adds no dependency).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${HV_PROGRAM_DIR})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# No maintainer scripts: CPack's ldconfig calls are taken out again (see the script).
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/HvDebPostBuild.cmake)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME halvonorvane)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION
    "encrypt, securely wipe and hide files and folders\n\
Halvo Norvane encrypts files and folders into .hvnc files (AES-GCM,\n\
Argon2id) and decrypts them, wipes files securely and hides files and\n\
folders. It comes as a desktop program and as the terminal program hnv,\n\
with menus for the file managers that each user can switch on.")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS "xdg-utils, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_CONTROL_EXTRA ${HV_DEB_DIR}/conffiles)
# Qt finds its platform plugins itself; the offscreen and xcb plugins come with libqt6gui6.
if(NAUTILUS_EXT_FOUND)
    list(APPEND CPACK_COMPONENTS_ALL nautilus)
    string(APPEND CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS ", halvonorvane-nautilus")
    set(CPACK_DEBIAN_NAUTILUS_PACKAGE_NAME halvonorvane-nautilus)
    set(CPACK_DEBIAN_NAUTILUS_PACKAGE_SECTION gnome)
    set(CPACK_DEBIAN_NAUTILUS_PACKAGE_DEPENDS "halvonorvane (= ${PROJECT_VERSION})")
    set(CPACK_DEBIAN_NAUTILUS_PACKAGE_ENHANCES nautilus)
    set(CPACK_COMPONENT_NAUTILUS_DESCRIPTION
        "Halvo Norvane menu for GNOME Files\n\
The context menu of Halvo Norvane in GNOME Files (Nautilus): encrypt,\n\
decrypt, hide and wipe the selected files. Each user switches it on or\n\
off in the program's preferences.")
endif()
include(CPack)
