# HalvoNorvane: the graphical program (application object with the dialogs and the main window as
# front end). Included from the pages folder, after the task pages' object library exists.
include_guard(GLOBAL)
if(NOT TARGET HVApp OR NOT TARGET HVSecurityGui OR NOT TARGET HVPages OR NOT TARGET HVSettingsGui)
    return()
endif()
add_executable(HalvoNorvane
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${PROJECT_SOURCE_DIR}/src/security/CGuiAppFrontEnd.cpp
    ${PROJECT_SOURCE_DIR}/src/security/CGuiAppFrontEnd.h)
# The pages register themselves from static objects: their object files are linked directly.
target_link_libraries(HalvoNorvane PRIVATE HVPages HVMainWindow HVSettingsGui HVApp HVTerminal HVSecurityGui
    HVTheme Qt6::Widgets)
set_target_properties(HalvoNorvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HV_PROGRAM_DIR})
foreach(dep HVGlobalDataConfig HVResourceModule HVHelpPages HVThemeFile HVThemePictures)
    if(TARGET ${dep})
        add_dependencies(HalvoNorvane ${dep})
    endif()
endforeach()
