# HVSettingsGui: the preferences dialog (CPreferencesDlg) and its four pages. Qt Widgets.
include_guard(GLOBAL)
if(NOT HV_CORE_ONLY)
    # The controls (HVUi), the theme (HVTheme) and the message boxes (HVPasswordsGui) are defined
    # in other folders; they are linked by name. The dialog reads the manager's master password
    # from its header only.
    add_library(HVSettingsGui STATIC
        ${CMAKE_CURRENT_LIST_DIR}/CPreferencesDlg.cpp ${CMAKE_CURRENT_LIST_DIR}/CPreferencesDlg.h
        ${CMAKE_CURRENT_LIST_DIR}/CPrefPageBase.cpp ${CMAKE_CURRENT_LIST_DIR}/CPrefPageBase.h
        ${CMAKE_CURRENT_LIST_DIR}/CPrefPageGeneral.cpp ${CMAKE_CURRENT_LIST_DIR}/CPrefPageGeneral.h
        ${CMAKE_CURRENT_LIST_DIR}/CPrefPageEncrypt.cpp ${CMAKE_CURRENT_LIST_DIR}/CPrefPageEncrypt.h
        ${CMAKE_CURRENT_LIST_DIR}/CPrefPageWipe.cpp ${CMAKE_CURRENT_LIST_DIR}/CPrefPageWipe.h
        ${CMAKE_CURRENT_LIST_DIR}/CPrefPageContextMenu.cpp ${CMAKE_CURRENT_LIST_DIR}/CPrefPageContextMenu.h)
    target_link_libraries(HVSettingsGui PUBLIC hv_options HVSettings HVGlobalData HVUi HVTheme HVPasswordsGui
        HVResources HVLogging Qt6::Widgets)

endif()
