# hv_add_test(<name> SOURCES <file>... [LIBS <target>...] [QTEST] [DEPENDS <target>...])
#
# One test program in build/tests, registered with CTest; HV_BUILD_BIN names the program folder,
# whose run-time data (HVRuntimeData: configuration, resource module and, with the GUI, theme
# and help pages) is built first.
#   (default)  GoogleTest with its main(); every test case becomes a CTest test.
#   QTEST      a QtTest program (QTEST_MAIN) on the offscreen platform; one CTest test.
#   DEPENDS    further targets built first (the programs an end-to-end test starts).
function(hv_add_test name)
    cmake_parse_arguments(ARG "QTEST" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE hv_options HVTestSupport ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_dependencies(${name} HVRuntimeData)
    if(ARG_DEPENDS)
        add_dependencies(${name} ${ARG_DEPENDS})
    endif()
    if(ARG_QTEST)
        target_link_libraries(${name} PRIVATE Qt6::Test)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HV_BUILD_BIN=${HV_PROGRAM_DIR}")
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "HV_BUILD_BIN=${HV_PROGRAM_DIR}")
    endif()
endfunction()
