# HVWipeManager: the wipe engine (CWipeManager). Plain C++ over libcrypto for its random data.
add_library(HVWipeManager STATIC
    CWipeManager.cpp CWipeManager.h CWipeManagerAt.cpp
    HVFastRandom.cpp HVFastRandom.h
    HVMediumInfo.cpp HVMediumInfo.h
    HVWipeFile.cpp HVWipeFile.h
    HVWipePasses.cpp HVWipePasses.h)
target_link_libraries(HVWipeManager PUBLIC hv_options HVSignal HVEngineState PRIVATE OpenSSL::Crypto)
