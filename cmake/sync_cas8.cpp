// GCC's AddressSanitizer and UndefinedBehaviorSanitizer runtimes for 32-bit
// PowerPC call __sync_val_compare_and_swap_8, which neither the CPU nor
// libatomic provides. This definition runs it on libatomic's 8-byte
// compare-and-swap. It is built without instrumentation, like the runtimes
// that call it.
#include <cstdint>

extern "C" std::uint64_t promcfg_sync_cas8(volatile void *word, std::uint64_t expected,
                                           std::uint64_t desired)
    __asm__("__sync_val_compare_and_swap_8");

// Returns the value the word held before, as the builtin does.
extern "C" std::uint64_t promcfg_sync_cas8(volatile void *word, std::uint64_t expected,
                                           std::uint64_t desired)
{
    __atomic_compare_exchange(static_cast<volatile std::uint64_t *>(word), &expected, &desired,
                              false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return expected;
}
