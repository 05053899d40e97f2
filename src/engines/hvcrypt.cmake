# hvcrypt: command-line tool over the encryption and wipe engines (build steps, benchmarks, demos).
add_executable(hvcrypt
    ${CMAKE_CURRENT_LIST_DIR}/hvcrypt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hvcrypt_options.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hvcrypt_options.h
    ${CMAKE_CURRENT_LIST_DIR}/hvcrypt_progress.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hvcrypt_progress.h)
target_link_libraries(hvcrypt PRIVATE hv_options HVEnManager HVWipeManager)
# The program's protected paths (defined with the data-security manager).
target_link_libraries(hvcrypt PRIVATE HVProtectedPaths)
