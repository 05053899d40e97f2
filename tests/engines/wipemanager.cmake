# Tests of the wipe engine.
if(TARGET HVWipeManager)
    hv_add_gtest(test_wipe_manager
        SOURCES test_wipe_manager.cpp test_wipe_files.cpp test_wipe_passes.cpp test_wipe_medium.cpp
        LIBS HVWipeManager)
endif()
