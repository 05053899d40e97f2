# Widget tests of the preferences dialog, on the offscreen platform, in a temporary home.
include_guard(GLOBAL)
if(NOT HV_CORE_ONLY AND TARGET HVSettingsGui)
    add_executable(test_prefs ${CMAKE_CURRENT_LIST_DIR}/test_prefs.cpp)
    target_link_libraries(test_prefs PRIVATE hv_options HVSettingsGui HVSettings HVGlobalData Qt6::Test)
    set_target_properties(test_prefs PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME test_prefs COMMAND test_prefs)
    set_tests_properties(test_prefs PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HV_BUILD_BIN=${HV_PROGRAM_DIR}")
endif()
