# Sanitizer builds for 32-bit PowerPC, run under qemu-ppc.
if(NOT (PROMCFG_SANITIZE AND CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR STREQUAL "powerpc"
        AND CMAKE_SIZEOF_VOID_P EQUAL 4))
  return()
endif()

# The sanitizer runtimes need an 8-byte compare-and-swap that libatomic lacks:
# every program and library made after this links one (on libatomic's).
add_library(promcfg_sync_cas8 STATIC ${CMAKE_CURRENT_LIST_DIR}/sync_cas8.cpp)
set_target_properties(promcfg_sync_cas8 PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_compile_options(promcfg_sync_cas8 PRIVATE -fno-sanitize=all)
link_libraries(promcfg_sync_cas8 atomic)

# Unoptimised, GoogleTest's one big source gets a stack frame too large for
# the 16-bit offsets its instrumented code addresses it with, and the
# assembler refuses it; -Og keeps frames small and still compiles quickly.
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  add_compile_options(-Og)
endif()

# Sanitizer options for every program the tests run: the emulator command is
# both CTest's launcher and the one the end-to-end tests start promcfg and
# promsim through, so the options ride on it.
#   detect_leaks=0  LeakSanitizer does not work under qemu-user (it stops and
#                   scans threads through ptrace) nor is it in this target's
#                   runtime: an inherited detect_leaks=1 would make every
#                   program exit 1 at start.
#   print_stacktrace=1  an undefined-behaviour report names its caller.
set(CMAKE_CROSSCOMPILING_EMULATOR env
  "ASAN_OPTIONS=detect_leaks=0"
  "UBSAN_OPTIONS=print_stacktrace=1"
  ${CMAKE_CROSSCOMPILING_EMULATOR})
