# Cross build for 64-bit Windows with Debian's mingw-w64. The code built here
# starts no threads; the posix thread model, Debian's default, is the one
# whose C++ runtime also has std::thread and std::mutex, should a test need them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs and libraries carry mingw's runtime, so that Wine needs none of its DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)

# CTest runs the test programs under Wine.
find_program(NERIO_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(NERIO_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${NERIO_WINE})
endif()
