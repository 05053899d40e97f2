# The settings files: the settings store and the user's values over a hostile INI file, and the
# shell extension's own Qt-free reader of the same file.
set(HV_SETTINGS_FUZZ_LIBS HVSettings)
if(TARGET HVExtCore)
    list(APPEND HV_SETTINGS_FUZZ_LIBS HVExtCore)
endif()
hv_add_fuzzer(settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_fuzz.cpp LIBS ${HV_SETTINGS_FUZZ_LIBS})
if(TARGET HVExtCore)
    target_compile_definitions(settings_fuzz PRIVATE HV_FUZZ_EXT_INI=1)
endif()
