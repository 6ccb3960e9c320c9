# Project-wide settings and the helpers every folder uses.

if(SVCTUNE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # Windows XP is the oldest system the binaries run on; nothing but system DLLs at run time.
  add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 UNICODE _UNICODE
                          NOMINMAX STRICT)
  add_link_options(-static -static-libgcc -static-libstdc++)
  enable_language(RC)
  # Manifests name the processor of their build: Windows refuses a 64-bit program whose
  # manifest says x86.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(SVCTUNE_MANIFEST_PROCESSOR amd64)
    set(SVCTUNE_WINE_ARCH win64)
  else()
    set(SVCTUNE_MANIFEST_PROCESSOR x86)
    set(SVCTUNE_WINE_ARCH win32)
  endif()
  # This build's Wine wrapper: scripts/wine-run with the build's architecture, so that its
  # prefixes are made for it (and a 32-bit build's runs are emulated where need be) whatever
  # the machine. Scripts that call scripts/wine-run themselves get it through SVCTUNE_WINE_ENV.
  set(SVCTUNE_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  set(SVCTUNE_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run")
  set(SVCTUNE_WINE_ENV ${CMAKE_COMMAND} -E env SVCTUNE_WINE_ARCH=${SVCTUNE_WINE_ARCH})
  file(WRITE ${SVCTUNE_WINE_RUN} "#!/bin/sh\nSVCTUNE_WINE_ARCH=${SVCTUNE_WINE_ARCH} "
                                 "exec '${PROJECT_SOURCE_DIR}/scripts/wine-run' \"$@\"\n")
  file(CHMOD ${SVCTUNE_WINE_RUN} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
       GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${SVCTUNE_WINE_RUN};--prefix;${SVCTUNE_WINE_PREFIX}")
endif()

if(MSVC)
  add_compile_options(/utf-8)
endif()

# Warnings are errors in the project's own code on both targets.
function(svctune_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  endif()
endfunction()

# svctune_test(NAME <name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>]
#              [SHARED_DISPLAY])
# A GoogleTest executable registered with ctest. Under the win32 preset it runs through the
# Wine wrapper and needs the shared Wine session. SHARED_DISPLAY: the test moves the pointer
# or the focus of the session's display, so no other such test runs beside it.
function(svctune_test)
  cmake_parse_arguments(ARG "SHARED_DISPLAY" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  svctune_warnings(${ARG_NAME})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
  if(WIN32)
    set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED wine_session)
  endif()
  if(ARG_SHARED_DISPLAY)
    set_tests_properties(${ARG_NAME} PROPERTIES RESOURCE_LOCK wine_display)
  endif()
  if(ARG_LABELS)
    set_tests_properties(${ARG_NAME} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
