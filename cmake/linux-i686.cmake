set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs of this build run under user-mode QEMU. It is not given the cross sysroot (-L): with
# that loader every forked child spins before its first system call. The host's own 32-bit C and
# C++ libraries serve instead. Without qemu-i386 no test can run here, and the tests say so.
find_program(QUORLFIX_QEMU_I386 qemu-i386 NO_CACHE)
if(QUORLFIX_QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORLFIX_QEMU_I386})
endif()

# pkg-config answers for this architecture only: the host's 64-bit GTK 3 does not link here (the
# desktop plugin is built only where a 32-bit GTK 3 is installed).
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/i686-linux-gnu/lib/pkgconfig)
