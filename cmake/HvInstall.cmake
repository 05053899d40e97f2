# `cmake --install` layout and the Debian package (`cpack -G DEB` in the build folder).
#
#   <prefix>/lib/halvonorvane/     the program folder: programs, libraries, resource module,
#                                  encrypted configuration and theme, theme pictures, help pages,
#                                  the file-manager extension and its registration tool
#   <prefix>/bin/hnv, halvonorvane symbolic links into the program folder
#   <prefix>/share/applications/   desktop entry;  share/icons/hicolor/scalable/apps/ icon
#   <prefix>/share/mime/packages/  the .hvnc type;  share/man/man1/ manual pages
#   /etc/xdg/Halvo-Soft/HalvoNorvane.conf   where the program is (group "App Paths")
#
# The programs find their libraries through RPATH $ORIGIN and their data beside themselves. The
# package installs files only: no maintainer script registers the file-manager extension, sets a
# default application or touches a home folder; that stays the user's choice in the program.
# Targets are made by their subsystems; each is installed only when it exists in this build.
include_guard(GLOBAL)

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Installation prefix" FORCE)
endif()
include(GNUInstallDirs)

set(HV_INSTALL_PROGRAM_DIR lib/halvonorvane CACHE STRING "Program folder, relative to the prefix")
set(HV_INSTALL_FULL_PROGRAM_DIR ${CMAKE_INSTALL_PREFIX}/${HV_INSTALL_PROGRAM_DIR})

# --- Programs and libraries ---------------------------------------------------------------
foreach(target hnv HalvoNorvane hvcrypt hvext-launch hvregsvr HVGlobalMFC HVExt HVExtNautilus)
    if(TARGET ${target})
        set_target_properties(${target} PROPERTIES INSTALL_RPATH "\$ORIGIN")
        install(TARGETS ${target}
            RUNTIME DESTINATION ${HV_INSTALL_PROGRAM_DIR} COMPONENT program
            LIBRARY DESTINATION ${HV_INSTALL_PROGRAM_DIR} COMPONENT program NAMELINK_SKIP)
    endif()
endforeach()

# --- Data built into the program folder -----------------------------------------------------
if(TARGET HVResourceModule)
    install(FILES ${HV_PROGRAM_DIR}/${HV_RESOURCE_FILE_NAME} DESTINATION ${HV_INSTALL_PROGRAM_DIR} COMPONENT program)
endif()
if(TARGET HVGlobalDataConfig)
    install(FILES ${HV_PROGRAM_DIR}/Config_norvane.xml.hvnc DESTINATION ${HV_INSTALL_PROGRAM_DIR} COMPONENT program)
endif()
if(TARGET HVThemeFile)
    install(FILES ${HV_PROGRAM_DIR}/Theme_norvane.xml.hvnc DESTINATION ${HV_INSTALL_PROGRAM_DIR} COMPONENT program)
endif()
if(TARGET HVThemePictures)
    install(DIRECTORY ${HV_PROGRAM_DIR}/theme/ DESTINATION ${HV_INSTALL_PROGRAM_DIR}/theme COMPONENT program
        OPTIONAL FILES_MATCHING PATTERN "*.png" PATTERN "*.ico" PATTERN "*.svg")
endif()
if(TARGET HVHelpPages)
    install(DIRECTORY ${HV_PROGRAM_DIR}/help/ DESTINATION ${HV_INSTALL_PROGRAM_DIR}/help COMPONENT program OPTIONAL)
endif()

# --- Commands on the PATH ------------------------------------------------------------------
set(HV_LINKS_DIR ${CMAKE_BINARY_DIR}/hv-install-links)
file(MAKE_DIRECTORY ${HV_LINKS_DIR})
file(RELATIVE_PATH HV_BIN_TO_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR} ${HV_INSTALL_FULL_PROGRAM_DIR})
foreach(pair "hnv=hnv" "halvonorvane=HalvoNorvane")
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 link)
    list(GET pair 1 target)
    if(TARGET ${target})
        file(CREATE_LINK ${HV_BIN_TO_PROGRAM}/${target} ${HV_LINKS_DIR}/${link} SYMBOLIC)
        install(FILES ${HV_LINKS_DIR}/${link} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
    endif()
endforeach()

# --- Desktop integration ------------------------------------------------------------------
set(HV_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
if(TARGET HalvoNorvane)
    install(FILES ${HV_PACKAGING_DIR}/halvonorvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT program)
    # Where the program is, for the file association and the file-manager extension.
    configure_file(${HV_PACKAGING_DIR}/HalvoNorvane.conf.in ${CMAKE_BINARY_DIR}/hv-install-links/HalvoNorvane.conf @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/hv-install-links/HalvoNorvane.conf
        DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/Halvo-Soft COMPONENT program)
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/theme/svg/halvonorvane.svg)
    set(HV_ICON ${PROJECT_SOURCE_DIR}/resources/theme/svg/halvonorvane.svg)
else()
    set(HV_ICON ${HV_PACKAGING_DIR}/halvonorvane.svg)
endif()
install(FILES ${HV_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT program)
install(FILES ${HV_PACKAGING_DIR}/halvonorvane-hvnc.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    COMPONENT program)

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

# --- Debian package ------------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halvonorvane)
set(CPACK_PACKAGE_VENDOR Halvo-Soft)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Halvo-Soft <packages@halvo-norvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "encrypt, securely wipe and hide files and folders")
set(CPACK_PACKAGE_DESCRIPTION
    "Halvo Norvane encrypts files and folders into .hvnc files (AES-GCM, Argon2id) and decrypts\n\
them, wipes files securely and hides files and folders. It comes as a desktop program and as\n\
the terminal program hnv, with menus for the file managers that the user can switch on.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://halvo-norvane.example")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package's own library, as built (dpkg-shlibdeps finds it there and adds no dependency).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${HV_PROGRAM_DIR})
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, shared-mime-info, desktop-file-utils")
# Qt finds its platform plugins itself; the offscreen and xcb plugins come with libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
