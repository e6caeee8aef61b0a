# Test build: the same sources as a 64-bit program, which Wine on this machine can run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CORVANTA_TRIPLE x86_64-w64-mingw32)
# The -posix compilers: the win32 thread variant has no std::thread or std::mutex.
set(CMAKE_C_COMPILER ${CORVANTA_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVANTA_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVANTA_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CORVANTA_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs the test programs under Wine, each in a throwaway copy of a template prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine-run.sh)
