# Included from CMakeLists.txt: the encrypt, wipe and decrypt runner's work against the real engines.
hv_add_gtest(test_runner
    SOURCES
        test_runner_support.h
        test_runner_secure.cpp
        test_runner_attributes.cpp
        test_runner_decrypt.cpp
        test_runner_cancel.cpp
        test_runner_window.cpp
    LIBS HVRunners)
target_compile_definitions(test_runner PRIVATE HV_PROGRAM_DIR_FALLBACK="${HV_PROGRAM_DIR}")
# The runners on a hostile filesystem (one table of cases for every operation).
hv_add_gtest(test_runner_hostile SOURCES test_runner_support.h test_runner_hostile.cpp LIBS HVHideRunner)
target_compile_definitions(test_runner_hostile PRIVATE HV_PROGRAM_DIR_FALLBACK="${HV_PROGRAM_DIR}")
