// promcfg-apply throws nothing: the few C++ runtime functions that would
// throw, or report a failed check, end it instead with a line on standard
// error, as running out of memory does. Linked in the built program only (not in the sanitizer
// builds, whose allocator is their own), so that the static C++ runtime
// brings no exception machinery with it.
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void fail(const char *what)
{
    fprintf(stderr, "promcfg-apply: %s\n", what);
    abort();
}

void *allocate(std::size_t size)
{
    void *memory = malloc(size ? size : 1);
    if (!memory)
        fail("out of memory");
    return memory;
}

}  // namespace

namespace std {
void __throw_bad_alloc() { fail("out of memory"); }
void __throw_bad_array_new_length() { fail("out of memory"); }
void __throw_length_error(const char *what) { fail(what); }
void __throw_logic_error(const char *what) { fail(what); }
void __throw_out_of_range(const char *what) { fail(what); }
void __throw_out_of_range_fmt(const char *what, ...) { fail(what); }
void __throw_invalid_argument(const char *what) { fail(what); }
// A failed check of the library's assertions: an index out of bounds.
void __glibcxx_assert_fail(const char *file, int line, const char *function, const char *condition) noexcept
{
    fprintf(stderr, "promcfg-apply: %s:%d: %s: assertion '%s' failed\n", file, line, function, condition);
    abort();
}
}  // namespace std

void *operator new(std::size_t size) { return allocate(size); }
void *operator new[](std::size_t size) { return allocate(size); }
void operator delete(void *memory) noexcept { free(memory); }
void operator delete[](void *memory) noexcept { free(memory); }
void operator delete(void *memory, std::size_t) noexcept { free(memory); }
void operator delete[](void *memory, std::size_t) noexcept { free(memory); }
