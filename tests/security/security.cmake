# Included from CMakeLists.txt.
hv_add_gtest(test_parse_cmdline SOURCES test_parse_cmdline.cpp test_parse_items.cpp LIBS HVSecurity)
# The manager's flows with a recording runner host, a scripted user and a fake hiding engine.
hv_add_gtest(test_flows
    SOURCES
        test_flows_support.h
        test_flows_secure.cpp
        test_flows_init.cpp
        test_flows_mail.cpp
        test_flows_protected.cpp
    LIBS HVSecurity)
