# Widget tests of the password dialogs, on the offscreen platform.
if(NOT TARGET HVPasswordsGui)
    return()
endif()
add_executable(test_pwd_dlg test_pwd_dlg.cpp)
target_link_libraries(test_pwd_dlg PRIVATE hv_options HVPasswordsGui Qt6::Test)
set_target_properties(test_pwd_dlg PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_test(NAME test_pwd_dlg COMMAND test_pwd_dlg)
set_tests_properties(test_pwd_dlg PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HV_BUILD_BIN=${HV_PROGRAM_DIR}")
