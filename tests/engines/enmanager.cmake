# Tests of the encryption engine (HVEnManager).
hv_add_gtest(test_enc
    SOURCES test_enc_roundtrip.cpp test_enc_tamper.cpp test_enc_faults.cpp test_enc_at.cpp
    LIBS HVEnManager OpenSSL::Crypto)
