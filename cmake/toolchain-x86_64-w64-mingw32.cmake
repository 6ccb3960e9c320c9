# Cross build for 64-bit Windows. The shipped binaries are 32-bit; this build of the same code
# runs the Windows tests on machines that run no 32-bit programs under Wine.
set(SVCTUNE_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
