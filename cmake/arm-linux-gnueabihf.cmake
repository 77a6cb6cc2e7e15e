# Cross build for the 32-bit ARM gateway (hard-float EABI), with Debian's
# cross compilers and GLib from the armhf architecture of the package system.
# For another SDK, copy this file and set the compilers, the pkg-config search
# path and the Debian architecture to the SDK's.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(TOLVA_TRIPLET arm-linux-gnueabihf)
set(CMAKE_C_COMPILER ${TOLVA_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TOLVA_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${TOLVA_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_LIBRARY_ARCHITECTURE ${TOLVA_TRIPLET})

# pkg-config must see the armhf .pc files only.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${TOLVA_TRIPLET}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# Debian's name of the architecture, for the .deb package of this build.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)

# Test programs run under qemu's user-mode emulation. Without it the kit still
# configures, builds and installs; only its tests are left out.
find_program(TOLVA_QEMU_ARM qemu-arm)
if(TOLVA_QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TOLVA_QEMU_ARM})
endif()
