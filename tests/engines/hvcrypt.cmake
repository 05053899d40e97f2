# End-to-end tests of the hvcrypt tool.
hv_add_gtest(test_hvcrypt SOURCES test_hvcrypt.cpp LIBS HVEnManager)
add_dependencies(test_hvcrypt hvcrypt)
