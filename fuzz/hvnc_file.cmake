# The .hvnc reader end to end: header, key unwrapping and the chunk stream, on hostile files.
hv_add_fuzzer(hvnc_file SOURCES ${CMAKE_CURRENT_LIST_DIR}/hvnc_file_fuzz.cpp LIBS HVEnManager OpenSSL::Crypto)
