# Shared part of the two MinGW toolchain files: compilers, search roots, static runtime.
set(CMAKE_C_COMPILER ${ZINDLE_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZINDLE_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZINDLE_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZINDLE_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Every Windows test program runs through the harness, which sets up Wine and fails on a crash.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/harness/wine-run)
# Plain -static: -static-libgcc/-static-libstdc++ still pull libwinpthread-1.dll once std::thread is used.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
