# Cross-build for 64-bit ARM Linux with Debian's aarch64-linux-gnu compilers. The
# libraries come from a sysroot of Debian's arm64 packages (scripts/arm64-sysroot.sh,
# make arm64); the C library and libstdc++ from the cross compilers' own
# /usr/aarch64-linux-gnu. Tests and data tools run under qemu-aarch64.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(FAIRHOLM_CROSS_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${FAIRHOLM_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${FAIRHOLM_CROSS_TRIPLE}-g++)

# The sysroot: FAIRHOLM_ARM64_SYSROOT (cache or environment), else build/arm64-sysroot of
# this source tree. try_compile projects see the same one.
if(NOT FAIRHOLM_ARM64_SYSROOT)
    if(DEFINED ENV{FAIRHOLM_ARM64_SYSROOT})
        set(FAIRHOLM_ARM64_SYSROOT $ENV{FAIRHOLM_ARM64_SYSROOT})
    else()
        get_filename_component(FAIRHOLM_ARM64_SYSROOT ${CMAKE_CURRENT_LIST_DIR}/../../build/arm64-sysroot ABSOLUTE)
    endif()
endif()
set(FAIRHOLM_ARM64_SYSROOT ${FAIRHOLM_ARM64_SYSROOT} CACHE PATH "Sysroot of Debian's arm64 packages")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FAIRHOLM_ARM64_SYSROOT)

set(CMAKE_FIND_ROOT_PATH ${FAIRHOLM_ARM64_SYSROOT} /usr/${FAIRHOLM_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The sysroot's libraries find the libraries they need themselves at link time.
set(fairholm_arm64_libs ${FAIRHOLM_ARM64_SYSROOT}/lib/${FAIRHOLM_CROSS_TRIPLE}:${FAIRHOLM_ARM64_SYSROOT}/usr/lib/${FAIRHOLM_CROSS_TRIPLE})
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-rpath-link,${fairholm_arm64_libs}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,-rpath-link,${fairholm_arm64_libs}")

# ctest, gtest_discover_tests and custom commands of executable targets start the
# programs through the emulator, which loads them with the sysroot's loader and libraries.
find_program(FAIRHOLM_QEMU_AARCH64 qemu-aarch64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${FAIRHOLM_QEMU_AARCH64} -L ${FAIRHOLM_ARM64_SYSROOT})
