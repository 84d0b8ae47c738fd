# 64-bit Windows build with Debian's MinGW-w64: the same programs and tests for
# hosts that cannot run 32-bit code, where only 64-bit Wine runs. The shipped
# programs are the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
