# Hardening of every target: stack protector, source fortification, position-independent
# executables and full RELRO (the relocation table read-only after start-up, every symbol bound
# at load time). Included by the top-level CMakeLists.txt before any target is made, so that the
# directory-wide options below reach every library, module and program of the tree.
option(HV_HARDENING "Compile with stack protector and fortification, link with full RELRO and PIE" ON)
set(HV_NO_UNDEFINED -Wl,--no-undefined)
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
# HV_NO_UNDEFINED is what a shared library or module links with to refuse undefined symbols.
# clang links the sanitizer runtime into programs only, leaving its symbols in libraries and
# modules to the program that loads them: under the sanitizers they allow undefined symbols.
string(CONCAT HV_ALL_FLAGS "${CMAKE_CXX_FLAGS} ${CMAKE_C_FLAGS}")
if(NOT HV_ALL_FLAGS MATCHES "-fsanitize=")
    add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=3>")
    set(HV_NO_UNDEFINED -Wl,--no-undefined)
else()
    set(HV_NO_UNDEFINED -Wl,-z,undefs)
endif()

add_link_options(-Wl,-z,relro,-z,now -Wl,-z,noexecstack)
