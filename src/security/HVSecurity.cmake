# Included from CMakeLists.txt: the protected paths (shared with hvcrypt), the data-security
# manager and the item record.
add_library(HVProtectedPaths STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CProtectedPaths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CProtectedPaths.h
    ${CMAKE_CURRENT_LIST_DIR}/CProtectedPathsProgram.cpp)
target_link_libraries(HVProtectedPaths PUBLIC hv_options Qt6::Core HVGlobalMFC HVGlobalData HVSettings HVHiding)

add_library(HVSecurity STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CItemData.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CItemData.h
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngr.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngr.h
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngrInit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngrFlows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngrMail.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDataSecurityMngrAdmit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IDataSecurityUi.h
    ${CMAKE_CURRENT_LIST_DIR}/IRunnerHost.h)
target_link_libraries(HVSecurity PUBLIC hv_options HVProtectedPaths HVSignalPump HVCommandLine HVLogging HVHiding HVSettings
    HVGlobalData HVPasswords HVGlobalMFC HVResources HVReport HVRunLock HVEnManager HVWipeManager Qt6::Core)
