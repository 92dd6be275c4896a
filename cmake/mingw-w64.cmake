# Cross-compiling Kalyxon for 64-bit Windows with Debian's mingw-w64 (the
# "posix" thread model, which std::thread and std::mutex need). Programs are
# linked statically, so a build runs on a bare Windows (or Wine) with nothing
# beside it but its data. Test and build-time programs run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KALYXON_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KALYXON_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KALYXON_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KALYXON_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KALYXON_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Unicode Win32 API (the W functions) everywhere, Windows 7 and later.
set(CMAKE_C_FLAGS_INIT "-DUNICODE -D_UNICODE -D_WIN32_WINNT=0x0601")
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE -D_WIN32_WINNT=0x0601")

# Build-time tools (ALPHA.db, the dictionaries) and the tests run under Wine;
# scripts/build-windows.sh prepares the Wine prefix they share.
find_program(KALYXON_WINE wine)
if(KALYXON_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KALYXON_WINE})
endif()
