# Widget tests of the task pages (selection, security options, hide management, decryption),
# run on the offscreen platform with HOME and the XDG folders in a temporary folder.
if(NOT HV_CORE_ONLY AND TARGET HVPages AND TARGET HVHiding AND TARGET HVRunners AND TARGET HVHideRunner)
    function(hv_add_page_test name)
        add_executable(${name} ${ARGN} ${CMAKE_CURRENT_LIST_DIR}/PagesTestSupport.h)
        target_link_libraries(${name} PRIVATE hv_options HVPages HVHiding HVRunners HVHideRunner HVReport
            Qt6::Test Qt6::Widgets)
        set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
        foreach(dep HVThemePictures HVThemeFile HVGlobalDataConfig HVResourceModule)
            if(TARGET ${dep})
                add_dependencies(${name} ${dep})
            endif()
        endforeach()
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HV_BUILD_BIN=${HV_PROGRAM_DIR}")
    endfunction()

    hv_add_page_test(test_page_lists ${CMAKE_CURRENT_LIST_DIR}/test_page_lists.cpp)
    hv_add_page_test(test_page_options ${CMAKE_CURRENT_LIST_DIR}/test_page_options.cpp)
    hv_add_page_test(test_page_hide ${CMAKE_CURRENT_LIST_DIR}/test_page_hide.cpp)
    hv_add_page_test(test_page_flow ${CMAKE_CURRENT_LIST_DIR}/test_page_flow.cpp)
    # The look: states and contrasts in three themes, and the fit of windows and pictures, the
    # latter at three scales.
    if(TARGET HVSettingsGui)
        hv_add_page_test(test_page_look ${CMAKE_CURRENT_LIST_DIR}/test_page_look.cpp)
        find_package(Qt6 REQUIRED COMPONENTS Svg)
        target_link_libraries(test_page_look PRIVATE HVSettingsGui Qt6::Svg)
        target_compile_definitions(test_page_look PRIVATE HV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
        foreach(scale 1.25 2)
            add_test(NAME test_page_look_x${scale} COMMAND test_page_look scales)
            set_tests_properties(test_page_look_x${scale} PROPERTIES ENVIRONMENT
                "QT_QPA_PLATFORM=offscreen;HV_BUILD_BIN=${HV_PROGRAM_DIR};QT_SCALE_FACTOR=${scale}")
        endforeach()
    endif()
endif()
