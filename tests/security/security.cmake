# Included from CMakeLists.txt.
hv_add_gtest(test_parse_cmdline SOURCES test_parse_cmdline.cpp test_parse_items.cpp LIBS HVSecurity)
