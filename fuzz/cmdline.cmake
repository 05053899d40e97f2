# The command line: the tokenizer (text and argument-vector input) and the manager's parse.
if(TARGET HVSecurity)
    hv_add_fuzzer(cmdline SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdline_fuzz.cpp LIBS HVCommandLine HVSecurity)
endif()
