# mingw-w64 for x86_64 with the POSIX thread model: what the Windows-built tests use,
# since GoogleTest needs std::mutex, which the win32-threads compilers leave out.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
