# Cross build for the 32-bit ARM gateway (hard-float EABI) with musl as its C
# library, every program linked statically: Debian's arm-linux-gnueabihf
# compilers pointed at musl by the specs file of musl-dev:armhf, and GLib from
# a musl sysroot (scripts/musl-sysroot builds one into build/musl/sysroot).
#
#   TOLVA_MUSL_SYSROOT    the sysroot with usr/lib/pkgconfig/glib-2.0.pc; a
#                         firmware SDK's own staging directory serves as well.
#   TOLVA_MUSL_CXX_COMPAT the folder of libstdcxx-compat.o (scripts/musl-sysroot
#                         builds it), which lets Debian's libstdc++, built for
#                         glibc, link with musl: for the C++ test programs
#                         only. Empty for a toolchain with a C++ runtime of its
#                         own for musl.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(TOLVA_TRIPLET arm-linux-gnueabihf)
set(TOLVA_MUSL_SPECS /usr/lib/arm-linux-musleabihf/musl-gcc.specs)
if(NOT DEFINED TOLVA_MUSL_SYSROOT)
  set(TOLVA_MUSL_SYSROOT ${CMAKE_CURRENT_LIST_DIR}/../build/musl/sysroot)
endif()
if(NOT DEFINED TOLVA_MUSL_CXX_COMPAT)
  set(TOLVA_MUSL_CXX_COMPAT ${CMAKE_CURRENT_LIST_DIR}/../build/musl/cxx)
endif()
set(TOLVA_MUSL_SYSROOT ${TOLVA_MUSL_SYSROOT} CACHE PATH "musl sysroot with GLib")
set(TOLVA_MUSL_CXX_COMPAT ${TOLVA_MUSL_CXX_COMPAT} CACHE PATH "libstdcxx-compat.o folder, or empty")
if(NOT EXISTS ${TOLVA_MUSL_SYSROOT}/usr/lib/pkgconfig/glib-2.0.pc)
  message(FATAL_ERROR "No GLib for musl in ${TOLVA_MUSL_SYSROOT} (usr/lib/pkgconfig/glib-2.0.pc): "
    "run scripts/musl-sysroot, or set TOLVA_MUSL_SYSROOT to a firmware SDK's staging folder")
endif()
# The compiler checks (try_compile) see the same two.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TOLVA_MUSL_SYSROOT TOLVA_MUSL_CXX_COMPAT)

set(CMAKE_C_COMPILER ${TOLVA_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TOLVA_TRIPLET}-g++)
set(CMAKE_C_FLAGS_INIT "-specs ${TOLVA_MUSL_SPECS}")
set(CMAKE_CXX_FLAGS_INIT "-specs ${TOLVA_MUSL_SPECS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
if(TOLVA_MUSL_CXX_COMPAT)
  # musl's specs drop every include directory but musl's: libstdc++'s
  # headers come back, with the few glibc names they need.
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpversion
    OUTPUT_VARIABLE tolva_gxx_version OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(tolva_cxx_include /usr/${TOLVA_TRIPLET}/include/c++/${tolva_gxx_version})
  string(APPEND CMAKE_CXX_FLAGS_INIT " -isystem ${tolva_cxx_include} -isystem ${tolva_cxx_include}/${TOLVA_TRIPLET}"
    " -include ${CMAKE_CURRENT_LIST_DIR}/musl/libstdcxx-compat.h")
  # An object, not an archive: libstdc++ comes after it on the link line.
  set(CMAKE_CXX_STANDARD_LIBRARIES_INIT
    "${TOLVA_MUSL_CXX_COMPAT}/libstdcxx-compat.o -Wl,--wrap=__newlocale -Wl,--wrap=__duplocale")
endif()

set(CMAKE_FIND_ROOT_PATH ${TOLVA_MUSL_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# pkg-config sees the sysroot's .pc files only, maps their paths into it and,
# the libraries being static, names what they need in turn (Libs.private).
set(ENV{PKG_CONFIG_LIBDIR} ${TOLVA_MUSL_SYSROOT}/usr/lib/pkgconfig:${TOLVA_MUSL_SYSROOT}/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${TOLVA_MUSL_SYSROOT})
# /usr/lib and /usr/include of a .pc file are the sysroot's: named, not
# dropped, else the compiler finds glibc's of the same name in its own paths.
set(ENV{PKG_CONFIG_ALLOW_SYSTEM_LIBS} 1)
set(ENV{PKG_CONFIG_ALLOW_SYSTEM_CFLAGS} 1)
set(PKG_CONFIG_ARGN --static CACHE STRING "Arguments pkg-config is given each time")

# Debian's name of the architecture, for the .deb package of this build.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE musl-linux-armhf)

# Static programs run under qemu's user-mode emulation as they are.
find_program(TOLVA_QEMU_ARM qemu-arm)
if(TOLVA_QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TOLVA_QEMU_ARM})
endif()
