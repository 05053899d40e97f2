# Included from CMakeLists.txt: the hide runner's work against the real hiding engine.
hv_add_gtest(test_hiderunner SOURCES test_hiderunner.cpp LIBS HVHideRunner)
target_compile_definitions(test_hiderunner PRIVATE HV_PROGRAM_DIR_FALLBACK="${HV_PROGRAM_DIR}")
