# Tests of the theme: the theme file reader and colour table (GoogleTest, no GUI) and the theme
# table with its pictures, image lists, drawing helpers and hex edit field (QtTest, offscreen).
include_guard(GLOBAL)
if(NOT HV_CORE_ONLY AND TARGET HVTheme)
    hv_add_gtest(test_theme_file
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_theme_file.cpp
        LIBS HVThemeCore)

    add_executable(test_theme_colors ${CMAKE_CURRENT_LIST_DIR}/test_theme_colors.cpp)
    target_link_libraries(test_theme_colors PRIVATE hv_options HVTheme HVGlobalData HVEnManager HVLogging
        HVResources Qt6::Test)
    target_compile_definitions(test_theme_colors PRIVATE HV_PROGRAM_DIR_FALLBACK="${HV_PROGRAM_DIR}")
    set_target_properties(test_theme_colors PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    foreach(dep HVThemePictures HVThemeFile HVResourceModule HVGlobalDataConfig)
        if(TARGET ${dep})
            add_dependencies(test_theme_colors ${dep})
        endif()
    endforeach()
    add_test(NAME test_theme_colors COMMAND test_theme_colors)
    set_tests_properties(test_theme_colors PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HV_BUILD_BIN=${HV_PROGRAM_DIR}")
endif()
