# Cross-compiles the bot for 64-bit Windows with Debian's MinGW-w64 (POSIX
# threads variant). Configure with MARROWLARK_TESTS=OFF and MARROWLARK_ARENA=OFF:
# only the bot is portable; the tests and the arena use POSIX calls.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# A self-contained executable: no MinGW runtime DLLs to ship beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
