# Widget tests of the main window on the offscreen platform, with stand-in pages.
if(NOT HV_CORE_ONLY AND TARGET HVMainWindow)
    add_executable(test_mainwin test_mainwin.cpp test_mainwin_support.h)
    target_link_libraries(test_mainwin PRIVATE hv_options HVMainWindow Qt6::Test)
    set_target_properties(test_mainwin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_dependencies(test_mainwin HVHelpPages)
    add_test(NAME test_mainwin COMMAND test_mainwin)
    set_tests_properties(test_mainwin PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HV_BUILD_BIN=${HV_PROGRAM_DIR}")
endif()
