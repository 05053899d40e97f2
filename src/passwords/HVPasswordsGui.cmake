# HVPasswordsGui: the password dialogs, the question box with "apply to all", the program's
# message boxes and the start-up dialogue's front end over them. Qt Widgets.
include_guard(GLOBAL)
# The controls (HVUi) and the theme (HVTheme) are defined later, in src/ui; they are linked by name.
if(NOT TARGET HVPasswords OR NOT TARGET HVGlobalData)
    return()  # needs the store and the global data
endif()

add_library(HVPasswordsGui STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CGuiMessageBox.cpp ${CMAKE_CURRENT_LIST_DIR}/CGuiMessageBox.h
    ${CMAKE_CURRENT_LIST_DIR}/CGuiDialogHeader.cpp ${CMAKE_CURRENT_LIST_DIR}/CGuiDialogHeader.h
    ${CMAKE_CURRENT_LIST_DIR}/CGuiLinkButton.cpp ${CMAKE_CURRENT_LIST_DIR}/CGuiLinkButton.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_NewPasswordBase.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_NewPasswordBase.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_Setmasterpassword.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_Setmasterpassword.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_Setpassword.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_Setpassword.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_Changemasterpassword.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_Changemasterpassword.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_EnterPasswordBase.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_EnterPasswordBase.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_EnterMasterpassword.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_EnterMasterpassword.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_Enterpassword.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_Enterpassword.h
    ${CMAKE_CURRENT_LIST_DIR}/CDlg_AfxMsgBoxEx.cpp ${CMAKE_CURRENT_LIST_DIR}/CDlg_AfxMsgBoxEx.h
    ${CMAKE_CURRENT_LIST_DIR}/CGuiMasterPasswordUi.cpp ${CMAKE_CURRENT_LIST_DIR}/CGuiMasterPasswordUi.h)
target_link_libraries(HVPasswordsGui PUBLIC hv_options HVPasswords HVUi HVTheme HVGlobalData HVResources
    HVEnManager Qt6::Widgets)

# The dialogs in the screenshot program.
set_property(GLOBAL APPEND PROPERTY HV_SCREEN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/ScreensPasswords.cpp)
set_property(GLOBAL APPEND PROPERTY HV_SCREEN_LIBS HVPasswordsGui)
