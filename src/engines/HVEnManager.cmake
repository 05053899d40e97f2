# HVEnManager: the encryption engine and the .hvnc format (plain C++, OpenSSL libcrypto, libsodium).
add_library(HVEnManager STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CEncryptManager.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CEncryptManager.h
    ${CMAKE_CURRENT_LIST_DIR}/CEncryptManagerRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CEncryptManagerFiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncCipher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncCipher.h
    ${CMAKE_CURRENT_LIST_DIR}/CHvncCommit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncCommit.h
    ${CMAKE_CURRENT_LIST_DIR}/CHvncHeader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncHeader.h
    ${CMAKE_CURRENT_LIST_DIR}/CHvncIo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncIo.h
    ${CMAKE_CURRENT_LIST_DIR}/CHvncKeyBlock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncKeyBlock.h
    ${CMAKE_CURRENT_LIST_DIR}/CHvncIoAt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncJob.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncJob.h
    ${CMAKE_CURRENT_LIST_DIR}/CHvncKeyCache.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncKeyCache.h
    ${CMAKE_CURRENT_LIST_DIR}/CHvncSelfTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncSelfTest.h
    ${CMAKE_CURRENT_LIST_DIR}/CHvncStaleTemps.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncStaleTemps.h
    ${CMAKE_CURRENT_LIST_DIR}/CHvncStream.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHvncStream.h
    ${CMAKE_CURRENT_LIST_DIR}/CSecureBuffer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSecureBuffer.h
    ${CMAKE_CURRENT_LIST_DIR}/HVNoCoreDump.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HVNoCoreDump.h
    ${CMAKE_CURRENT_LIST_DIR}/HVProgress.h
    ${CMAKE_CURRENT_LIST_DIR}/HvncResult.h)
target_link_libraries(HVEnManager PUBLIC hv_options HVSignal HVEngineState PRIVATE OpenSSL::Crypto PkgConfig::SODIUM Threads::Threads)
target_compile_definitions(HVEnManager PRIVATE _GNU_SOURCE)
