# HalvoNorvane: the graphical program (application object with the dialogs as front end).
if(NOT TARGET HVApp OR NOT TARGET HVSecurityGui)
    return()
endif()
add_executable(HalvoNorvane
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${PROJECT_SOURCE_DIR}/src/security/CGuiAppFrontEnd.cpp
    ${PROJECT_SOURCE_DIR}/src/security/CGuiAppFrontEnd.h)
target_link_libraries(HalvoNorvane PRIVATE HVApp HVSecurityGui HVTheme Qt6::Widgets)
set_target_properties(HalvoNorvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HV_PROGRAM_DIR})
foreach(dep HVGlobalDataConfig HVResourceModule)
    if(TARGET ${dep})
        add_dependencies(HalvoNorvane ${dep})
    endif()
endforeach()
