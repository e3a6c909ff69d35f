# Builds the core for the browser with Debian's own toolchain: clang-16 targeting wasm32-wasi,
# wasi-libc and the wasm32 libc++ (packages clang-16, lld-16, wasi-libc, libc++-16-dev-wasm32,
# libc++abi-16-dev-wasm32, libclang-rt-16-dev-wasm32). No SDK, no JavaScript glue.
# CMake has no platform file for WASI; Generic keeps it from assuming anything of the host.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_VERSION 1)
set(CMAKE_SYSTEM_PROCESSOR wasm32)

set(CMAKE_C_COMPILER clang-16)
set(CMAKE_CXX_COMPILER clang++-16)
set(CMAKE_AR llvm-ar-16)
set(CMAKE_RANLIB llvm-ranlib-16)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_SYSROOT /usr)

# The wasm32 libc++ headers are not on clang-16's default path. The wasm32 libc++abi has no
# exception support, so neither has anything built here.
# Bulk memory turns every memcpy and memset into one instruction the browser runs natively
# instead of wasi-libc's byte loops: the court copied each tick is most of a tick.
set(CMAKE_CXX_FLAGS_INIT
    "-nostdinc++ -isystem /usr/include/wasm32-wasi/c++/v1 -fno-exceptions -mbulk-memory")
# binaryen's wasm-opt, which the driver runs when it is installed, rejects a module stripped of
# everything; the debug sections alone can go.
# The compile-only flags above are also on the link line, where clang would warn about them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--strip-debug -Wno-unused-command-line-argument")

set(CMAKE_EXECUTABLE_SUFFIX .wasm)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
