# Tests of the global data (CHDGlobalData) and the encrypted configuration file.
include_guard(GLOBAL)
if(TARGET HVGlobalData)
    hv_add_gtest(HVGlobalDataTests
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_globaldata_config.cpp
                ${CMAKE_CURRENT_LIST_DIR}/test_globaldata_readers.cpp
                ${CMAKE_CURRENT_LIST_DIR}/test_globaldata_paths.cpp
                ${CMAKE_CURRENT_LIST_DIR}/test_globaldata_support.h
        LIBS HVGlobalData HVEnManager HVXml HVLogging HVResources HVGlobalMFC)
    target_compile_definitions(HVGlobalDataTests PRIVATE
        HV_PROGRAM_DIR_FALLBACK="${HV_PROGRAM_DIR}"
        HV_RESOURCE_FILE_NAME_EXPECTED="${HV_RESOURCE_FILE_NAME}")
endif()
