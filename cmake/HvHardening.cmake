# Hardening of every target: stack protector, source fortification, position-independent
# executables and full RELRO (the relocation table read-only after start-up, every symbol bound
# at load time). Included by the top-level CMakeLists.txt before any target is made, so that the
# directory-wide options below reach every library, module and program of the tree.
option(HV_HARDENING "Compile with stack protector and fortification, link with full RELRO and PIE" ON)
if(NOT HV_HARDENING)
    return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)

add_compile_options(-fstack-protector-strong -fstack-clash-protection)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
    add_compile_options(-fcf-protection)
endif()

# _FORTIFY_SOURCE needs the optimiser (it warns without) and is not meant to be combined with
# AddressSanitizer, which checks the same calls itself and better.
string(CONCAT HV_ALL_FLAGS "${CMAKE_CXX_FLAGS} ${CMAKE_C_FLAGS}")
if(NOT HV_ALL_FLAGS MATCHES "-fsanitize=")
    add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=3>")
else()
    # clang links the sanitizer runtime into programs only; shared libraries and modules leave its
    # symbols to the program that loads them, so a library's "-Wl,--no-undefined" is lifted for
    # them once every target of the tree exists.
    function(hv_sanitizer_allow_undefined dir)
        get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
                target_link_options(${target} PRIVATE -Wl,-z,undefs)
            endif()
        endforeach()
        get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
        foreach(sub IN LISTS subdirs)
            hv_sanitizer_allow_undefined(${sub})
        endforeach()
    endfunction()
    cmake_language(DEFER CALL hv_sanitizer_allow_undefined ${CMAKE_SOURCE_DIR})
endif()

add_link_options(-Wl,-z,relro,-z,now -Wl,-z,noexecstack)
