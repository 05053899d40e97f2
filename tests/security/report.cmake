# Included from CMakeLists.txt: the text of the operation report.
hv_add_gtest(test_report SOURCES test_report.cpp LIBS HVReport)
target_compile_definitions(test_report PRIVATE HV_PROGRAM_DIR_FALLBACK="${HV_PROGRAM_DIR}")
