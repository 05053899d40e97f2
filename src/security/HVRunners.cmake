# HVRunners: the work of the encrypt, wipe and decrypt runner (worker thread, no widget).
add_library(HVRunners STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CProgrssManagerWork.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CProgrssManagerWork.h
    ${CMAKE_CURRENT_LIST_DIR}/CProgrssManagerWorkAsk.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CProgrssManagerWorkDecrypt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CProgrssManagerWorkFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CProgrssManagerWorkSetup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CProgrssManagerWorkWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CRunFileLister.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CRunFileLister.h
    ${CMAKE_CURRENT_LIST_DIR}/CRunFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CRunFolder.h
    ${CMAKE_CURRENT_LIST_DIR}/HVRunAct.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HVRunAct.h
    ${CMAKE_CURRENT_LIST_DIR}/SRunDetails.h
    ${CMAKE_CURRENT_LIST_DIR}/SRunFile.h
    ${CMAKE_CURRENT_LIST_DIR}/HVItemStates.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HVItemStates.h
    ${CMAKE_CURRENT_LIST_DIR}/HVRunFiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HVRunFiles.h
    ${CMAKE_CURRENT_LIST_DIR}/IProgrssManagerUi.h
    ${CMAKE_CURRENT_LIST_DIR}/SRunCounters.h
    ${CMAKE_CURRENT_LIST_DIR}/SRunOptions.h)
target_link_libraries(HVRunners PUBLIC hv_options HVSecurity HVEnManager HVWipeManager HVResources HVLogging
    HVRunLock Threads::Threads Qt6::Core)
