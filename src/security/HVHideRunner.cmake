# HVHideRunner: the work of the hide runner (worker thread, no widget).
add_library(HVHideRunner STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CHideProgrssWork.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHideProgrssWorkFolders.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHideProgrssWork.h
    ${CMAKE_CURRENT_LIST_DIR}/CHideProgrssWorkUi.h)
target_link_libraries(HVHideRunner PUBLIC hv_options HVRunners HVSecurity HVHiding HVSignal HVResources HVLogging
    HVRunLock Threads::Threads Qt6::Core)
