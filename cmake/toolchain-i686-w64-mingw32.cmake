# Cross build of the shipped 32-bit Windows binaries.
set(SVCTUNE_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
