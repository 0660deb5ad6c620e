# Cross-build for desktop Windows with Debian's mingw-w64 (i686), the compilers of the
# POSIX thread model: std::thread, std::mutex and sleep_for work (through winpthreads).
include(${CMAKE_CURRENT_LIST_DIR}/i686-w64-mingw32.cmake)
set(CMAKE_C_COMPILER ${FAIRHOLM_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FAIRHOLM_MINGW_TRIPLE}-g++-posix)
