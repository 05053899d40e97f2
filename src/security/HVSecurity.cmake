# Included from CMakeLists.txt: the data-security manager and the item record.
add_library(HVSecurity STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CItemData.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CItemData.h
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngr.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngr.h
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngrInit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngrFlows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngrMail.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngrAdmit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CProtectedPaths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CProtectedPaths.h
    ${CMAKE_CURRENT_LIST_DIR}/IDataSecurityUi.h
    ${CMAKE_CURRENT_LIST_DIR}/IRunnerHost.h)
target_link_libraries(HVSecurity PUBLIC hv_options HVSignalPump HVCommandLine HVLogging HVHiding HVSettings
    HVGlobalData HVPasswords HVGlobalMFC HVResources HVReport HVRunLock HVEnManager HVWipeManager Qt6::Core)
