# Cross build for Windows with MinGW-w64, for the processor SVCTUNE_MINGW_PROCESSOR (i686 or
# x86_64) that the including toolchain file sets; the Windows programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${SVCTUNE_MINGW_PROCESSOR})
set(SVCTUNE_MINGW_TRIPLET ${SVCTUNE_MINGW_PROCESSOR}-w64-mingw32)

# The win32 thread model: threads, locks and one-time initialisation go straight to the
# system. The posix model links winpthreads, which imports functions Windows XP lacks.
set(CMAKE_C_COMPILER ${SVCTUNE_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${SVCTUNE_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${SVCTUNE_MINGW_TRIPLET}-windres)
set(SVCTUNE_WIDL ${SVCTUNE_MINGW_TRIPLET}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${SVCTUNE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
