# The independent reader (Python, other cryptographic libraries, written from docs/hvnc-format.md)
# decrypts the test vectors and what hvcrypt writes in both format versions.
find_program(HV_SYSTEM_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(HV_SYSTEM_PYTHON3 NAMES python3)
add_test(NAME independent_reader
    COMMAND ${HV_SYSTEM_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/independent_reader.py
        --vectors ${CMAKE_CURRENT_SOURCE_DIR}/vectors --hvcrypt $<TARGET_FILE:hvcrypt>)
