# Included from CMakeLists.txt: the data-security manager and the item record.
add_library(HVSecurity STATIC
    CItemData.cpp CItemData.h
    CDataSecurityMngr.cpp CDataSecurityMngr.h
)
target_link_libraries(HVSecurity PUBLIC hv_options HVSignalPump HVCommandLine HVLogging Qt6::Core)
