# The exploit mitigations of the binaries that ship, each asked for by name so that a
# toolchain whose defaults differ still builds the same executable. The presets that build
# them (windows, windows-i686, linux) turn this on with ORVANE_HARDENING; tests/package and
# tests/linux read the flags back out of the binaries.

if(WIN32)
    # Stack canaries (Orvane.exe draws its own: app/windows/StackProtector.cpp) and the string
    # functions' checked forms, from GCC's libssp, which -static links in like the C and C++
    # runtimes, so the imports stay Windows' own.
    add_compile_options(-fstack-protector-strong)
    add_compile_definitions(_FORTIFY_SOURCE=2)
    add_link_options(-fstack-protector-strong)
    # ASLR (ld keeps the base relocations it needs) and DEP.
    add_link_options(LINKER:--dynamicbase LINKER:--nxcompat)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        add_link_options(LINKER:--high-entropy-va)
    else()
        # GCC's i686 MinGW target unwinds through DWARF tables and registers no SEH handler,
        # so the image says that none may be called.
        add_link_options(LINKER:--no-seh)
    endif()
elseif(ORVANE_LINUX)
    # Debian's hardening (dpkg-buildflags with hardening=+all), and the stack clash and
    # control-flow protections and the non-executable stack beside it.
    add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection=full
        -Wformat -Werror=format-security)
    add_compile_definitions(_FORTIFY_SOURCE=2)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    include(CheckPIESupported)
    check_pie_supported()
    add_link_options(LINKER:-z,relro LINKER:-z,now LINKER:-z,noexecstack)
endif()
