# HVEngineState: what the engines share: their records in the data folder about work under way
# (named temporaries, wipes), so that a later start finishes what a crash interrupted, and the
# locked, wiped heap libcrypto allocates from.
add_library(HVEngineState STATIC
    ${CMAKE_CURRENT_LIST_DIR}/HVPendingRecords.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HVPendingRecords.h
    ${CMAKE_CURRENT_LIST_DIR}/HVPendingRecordsText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HVPendingRecordsText.h
    ${CMAKE_CURRENT_LIST_DIR}/HVTempNames.h
    ${CMAKE_CURRENT_LIST_DIR}/HVCryptoHeap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HVCryptoHeap.h)
target_link_libraries(HVEngineState PUBLIC hv_options PRIVATE OpenSSL::Crypto)
