# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (its posix-thread variant, which Qt's
# std::thread and mutex code needs) against a static Qt given in CMAKE_PREFIX_PATH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# The C++ runtime, libgcc and winpthreads go into each program, so it runs on a Windows that has
# nothing installed.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# A release program goes out without its symbol table: the installed copy is the built one.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT -s)

# Tests run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CMAKE_CURRENT_LIST_DIR}/../tests/wine.sh)
