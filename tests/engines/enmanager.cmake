# Tests of the encryption engine (HVEnManager).
hv_add_gtest(test_enc
    SOURCES test_enc_roundtrip.cpp test_enc_tamper.cpp test_enc_faults.cpp test_enc_commitment.cpp test_enc_vectors.cpp
            test_enc_at.cpp
    LIBS HVEnManager OpenSSL::Crypto)
target_compile_definitions(test_enc PRIVATE HV_VECTORS_DIR="${CMAKE_CURRENT_SOURCE_DIR}/vectors")
