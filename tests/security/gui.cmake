# Widget tests of the progress and report dialogs, on the offscreen platform, against the real
# runner work and engines on temporary files.
if(NOT TARGET HVSecurityGui)
    return()
endif()
add_executable(test_progress_dlg test_progress_dlg.cpp test_report_dlg.cpp test_dlg_support.h test_dlg_main.cpp)
target_link_libraries(test_progress_dlg PRIVATE hv_options HVSecurityGui Qt6::Test)
set_target_properties(test_progress_dlg PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
if(TARGET HVResourceModule)
    add_dependencies(test_progress_dlg HVResourceModule)
endif()
add_test(NAME test_progress_dlg COMMAND test_progress_dlg)
set_tests_properties(test_progress_dlg PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HV_BUILD_BIN=${HV_PROGRAM_DIR}")
