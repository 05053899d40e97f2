# The XML document engine: parse, navigation, element text, edits.
hv_add_fuzzer(xml SOURCES ${CMAKE_CURRENT_LIST_DIR}/xml_fuzz.cpp LIBS HVXml)
