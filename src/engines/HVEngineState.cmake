# HVEngineState: what the engines record in the data folder about work under way (named
# temporaries, wipes), so that a later start finishes what a crash interrupted.
add_library(HVEngineState STATIC
    ${CMAKE_CURRENT_LIST_DIR}/HVPendingRecords.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HVPendingRecords.h
    ${CMAKE_CURRENT_LIST_DIR}/HVPendingRecordsText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HVPendingRecordsText.h
    ${CMAKE_CURRENT_LIST_DIR}/HVTempNames.h)
target_link_libraries(HVEngineState PUBLIC hv_options)
