# HVSecurityGui: the runners' progress dialogs, the report dialog, and the GUI's runner host and
# flow front end over them. Qt Widgets. The controls (HVUi) are defined later, in src/ui.
include_guard(GLOBAL)
if(NOT TARGET HVRunners OR NOT TARGET HVHideRunner OR NOT TARGET HVReport OR NOT TARGET HVSecurity
   OR NOT TARGET HVPasswordsGui)
    return()
endif()

add_library(HVSecurityGui STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CGuiProgressLayout.cpp ${CMAKE_CURRENT_LIST_DIR}/CGuiProgressLayout.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_ProgrssManager.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_ProgrssManager.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_HideProgrss.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_HideProgrss.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_Report.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_Report.h
    ${CMAKE_CURRENT_LIST_DIR}/CGuiRunnerHost.cpp ${CMAKE_CURRENT_LIST_DIR}/CGuiRunnerHost.h
    ${CMAKE_CURRENT_LIST_DIR}/CGuiDataSecurityUi.cpp ${CMAKE_CURRENT_LIST_DIR}/CGuiDataSecurityUi.h
    ${CMAKE_CURRENT_LIST_DIR}/CGuiRunNotice.cpp ${CMAKE_CURRENT_LIST_DIR}/CGuiRunNotice.h)
find_package(Qt6 REQUIRED COMPONENTS DBus)
target_link_libraries(HVSecurityGui PUBLIC hv_options HVRunners HVHideRunner HVReport HVSecurity HVSignalPump
    HVPasswordsGui HVUi HVGlobalData HVResources Qt6::Widgets PRIVATE Qt6::DBus)

set_property(GLOBAL APPEND PROPERTY HV_SCREEN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/ScreensSecurity.cpp)
set_property(GLOBAL APPEND PROPERTY HV_SCREEN_LIBS HVSecurityGui)
