# Common compile settings for every target of the project.
add_library(hv_options INTERFACE)
target_compile_options(hv_options INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
if(HV_WERROR)
    target_compile_options(hv_options INTERFACE -Werror)
endif()
target_include_directories(hv_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
