# The .hvnc header parser alone: magic, version, header check, field limits, metadata block.
hv_add_fuzzer(hvnc_header SOURCES ${CMAKE_CURRENT_LIST_DIR}/hvnc_header_fuzz.cpp LIBS HVEnManager OpenSSL::Crypto)
