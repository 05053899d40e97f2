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

# The desktop notification over a private session bus (skipped without dbus-daemon).
find_package(Qt6 REQUIRED COMPONENTS DBus)
add_executable(test_run_notice_dbus test_run_notice_dbus.cpp)
target_link_libraries(test_run_notice_dbus PRIVATE hv_options HVSecurityGui Qt6::DBus Qt6::Test)
set_target_properties(test_run_notice_dbus PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_test(NAME test_run_notice_dbus COMMAND test_run_notice_dbus)
if(TARGET HVResourceModule)
    add_dependencies(test_run_notice_dbus HVResourceModule)
endif()
set_tests_properties(test_run_notice_dbus PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HV_BUILD_BIN=${HV_PROGRAM_DIR}")
