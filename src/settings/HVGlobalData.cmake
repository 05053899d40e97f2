# HVGlobalData: the program's global product data (CHDGlobalData) and the encrypted configuration
# file it reads. Qt Core only.
include_guard(GLOBAL)
if(NOT TARGET HVSettings OR NOT TARGET HVXml OR NOT TARGET HVEnManager OR NOT TARGET hvcrypt
   OR NOT TARGET HVGlobalMFC OR NOT EXISTS ${PROJECT_SOURCE_DIR}/src/resources/CMakeLists.txt)
    return()  # needs the settings store, the XML and encryption engines, the utility library and resources
endif()

add_library(HVGlobalData STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CHDGlobalData.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHDGlobalData.h
    ${CMAKE_CURRENT_LIST_DIR}/CHDGlobalDataXml.cpp)
target_link_libraries(HVGlobalData PUBLIC hv_options Qt6::Core HVSettings HVXml
    PRIVATE HVEnManager HVGlobalMFC HVLogging HVResources)

# The configuration is encrypted at build time into the program folder. Its password is fixed
# and known to the program, so a cheap key-derivation cost is enough (it keeps start-up fast).
set(HV_CONFIG_PLAIN ${PROJECT_SOURCE_DIR}/resources/config/Config_norvane.xml)
set(HV_CONFIG_ENCRYPTED ${HV_PROGRAM_DIR}/Config_norvane.xml.hvnc)
set(HV_CONFIG_PASSWORD_FILE ${CMAKE_CURRENT_BINARY_DIR}/HVGlobalData.dir/config-password.txt)
file(GENERATE OUTPUT ${HV_CONFIG_PASSWORD_FILE} CONTENT "4r8tkavosmwe\n")
add_custom_command(OUTPUT ${HV_CONFIG_ENCRYPTED}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${HV_PROGRAM_DIR}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${HV_CONFIG_ENCRYPTED}
    COMMAND $<TARGET_FILE:hvcrypt> encrypt --quiet --key-bits 256 --kdf-mem-kib 8192 --kdf-passes 1
            --password-file ${HV_CONFIG_PASSWORD_FILE} --output ${HV_CONFIG_ENCRYPTED} ${HV_CONFIG_PLAIN}
    DEPENDS hvcrypt ${HV_CONFIG_PLAIN} ${HV_CONFIG_PASSWORD_FILE}
    COMMENT "Encrypting the configuration into ${HV_CONFIG_ENCRYPTED}"
    VERBATIM)
add_custom_target(HVGlobalDataConfig ALL DEPENDS ${HV_CONFIG_ENCRYPTED})
# Not a dependency of the library itself (hvcrypt, which writes the file, links it): the programs
# and the tests that read the file depend on HVGlobalDataConfig.
