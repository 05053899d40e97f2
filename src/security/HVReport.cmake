# HVReport: the text of the operation report (no widget; Qt Core for the texts).
add_library(HVReport STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CReportComposer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CReportComposer.h
    ${CMAKE_CURRENT_LIST_DIR}/SRunCounters.h
    ${CMAKE_CURRENT_LIST_DIR}/SRunDetails.h)
target_link_libraries(HVReport PUBLIC hv_options HVResources HVGlobalMFC Qt6::Core)
