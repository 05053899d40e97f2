# Common compile settings for every target of the project.
add_library(hv_options INTERFACE)
target_compile_options(hv_options INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
if(HV_WERROR)
    target_compile_options(hv_options INTERFACE -Werror)
endif()
target_include_directories(hv_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

# hv_add_subdirs(<dir>...): adds those of the listed subfolders that have a CMakeLists.txt,
# so that subsystems can land one at a time.
function(hv_add_subdirs)
    foreach(dir IN LISTS ARGN)
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()

# hv_add_gtest(<name> SOURCES ... LIBS ...): one GoogleTest executable registered with CTest.
function(hv_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE hv_options ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "HV_BUILD_BIN=${HV_PROGRAM_DIR}")
    # The encrypted configuration beside the programs, which many tests read.
    if(TARGET HVGlobalDataConfig)
        add_dependencies(${name} HVGlobalDataConfig)
    endif()
endfunction()
