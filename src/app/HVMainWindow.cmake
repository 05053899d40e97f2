# HVMainWindow: the main window (CHalvoDataSecurityDlg) with its menu, keyboard handler and
# placement, the about box, the stand-in page and the page registry through which the task pages
# (src/pages, object library HVPages) and the preferences dialog come in. Qt Widgets.
# Also ships the help pages of resources/help into the program folder's "help" folder.
include_guard(GLOBAL)
if(HV_CORE_ONLY OR NOT TARGET HVSecurity OR NOT TARGET HVPasswordsGui)
    return()  # needs the manager and the password dialogs
endif()

add_library(HVMainWindow STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CHalvoDataSecurityDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/CHalvoDataSecurityDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/CHalvoDataSecurityDlgMenu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHalvoDataSecurityDlgKeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHalvoDataSecurityDlgPassword.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMainWndPageRegistry.cpp ${CMAKE_CURRENT_LIST_DIR}/CMainWndPageRegistry.h
    ${CMAKE_CURRENT_LIST_DIR}/CMainWndEmptyPage.cpp ${CMAKE_CURRENT_LIST_DIR}/CMainWndEmptyPage.h
    ${CMAKE_CURRENT_LIST_DIR}/CMainWndRun.cpp ${CMAKE_CURRENT_LIST_DIR}/CMainWndRun.h
    ${CMAKE_CURRENT_LIST_DIR}/CAboutDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/CAboutDlg.h)
target_link_libraries(HVMainWindow PUBLIC hv_options HVUi HVTheme HVSecurity HVPasswords HVPasswordsGui
    HVGlobalData HVResources HVLogging Qt6::Widgets)
target_compile_definitions(HVMainWindow PRIVATE HV_PROGRAM_VERSION="${PROJECT_VERSION}")

# --- Help pages ----------------------------------------------------------------------------
set(HV_HELP_SOURCE ${PROJECT_SOURCE_DIR}/resources/help)
set(HV_HELP_OUT ${HV_PROGRAM_DIR}/help)
file(GLOB hv_help_pages CONFIGURE_DEPENDS ${HV_HELP_SOURCE}/*.htm ${HV_HELP_SOURCE}/*.css)
set(hv_help_outputs "")
foreach(page IN LISTS hv_help_pages)
    get_filename_component(name ${page} NAME)
    add_custom_command(OUTPUT ${HV_HELP_OUT}/${name}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${HV_HELP_OUT}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${page} ${HV_HELP_OUT}/${name}
        DEPENDS ${page}
        COMMENT "Copying the help page ${name}"
        VERBATIM)
    list(APPEND hv_help_outputs ${HV_HELP_OUT}/${name})
endforeach()
add_custom_target(HVHelpPages ALL DEPENDS ${hv_help_outputs})
add_dependencies(HVMainWindow HVHelpPages)

