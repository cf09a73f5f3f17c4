#include "AllocationMeter.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define KORVEX_METER_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVEX_METER_HOOKS 1
#endif
#endif

namespace korvex::testing::meter {

namespace {

// Plain atomics, valid before any constructor runs: malloc is called early.
constinit std::atomic<bool> active{false};
constinit std::atomic<long long> held{0};
constinit std::atomic<long long> highest{0};
constinit std::atomic<long long> ceiling{0};
constinit std::atomic<int> reportTo{-1};

[[noreturn]] void overBudget(long long held, std::size_t asked)
{
    char line[160];
    const int n = std::snprintf(line, sizeof line, "over budget: asked for %zu bytes with %lld held\n", asked, held);
    if (n > 0 && write(reportTo.load(), line, std::size_t(n)) < 0)
        _exit(1);
    _exit(0);
}

// Before the request: a refused one (address space is limited too) would
// otherwise go unseen when the caller copes with a null pointer.
void asking(std::size_t asked)
{
    if (active.load() && held.load() + (long long)asked > ceiling.load())
        overBudget(held.load(), asked);
}

void added(std::size_t bytes, std::size_t asked)
{
    const long long now = held.fetch_add((long long)bytes) + (long long)bytes;
    long long seen = highest.load();
    while (now > seen && !highest.compare_exchange_weak(seen, now)) {
    }
    if (now > ceiling.load())
        overBudget(now - (long long)bytes, asked);
}

void removed(std::size_t bytes)
{
    held.fetch_sub((long long)bytes);
}

}  // namespace

#ifdef KORVEX_METER_HOOKS
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                                        void (*)(const volatile void*));
extern "C" std::size_t __sanitizer_get_allocated_size(const volatile void*);

namespace {
void onMalloc(const volatile void*, std::size_t size)
{
    if (active.load())
        added(size, size);
}
void onFree(const volatile void* p)
{
    if (active.load() && p)
        removed(__sanitizer_get_allocated_size(p));
}
const bool hooked = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
}  // namespace
#endif

void start(std::size_t limit, int reportFd)
{
    held = 0;
    highest = 0;
    ceiling = (long long)limit;
    reportTo = reportFd;
    active = true;
}

void stop()
{
    active = false;
}

std::size_t peak()
{
    return std::size_t(highest.load());
}

}  // namespace korvex::testing::meter

#ifndef KORVEX_METER_HOOKS
// glibc lets a program replace its allocator; these forward to glibc's own
// and count what is held by the usable size of each block.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
std::size_t malloc_usable_size(void*);
}

namespace {
void* counted(void* p, std::size_t asked)
{
    using namespace korvex::testing::meter;
    if (p && active.load())
        added(malloc_usable_size(p), asked);
    return p;
}
}  // namespace

extern "C" {
void* malloc(std::size_t n)
{
    korvex::testing::meter::asking(n);
    return counted(__libc_malloc(n), n);
}
void* calloc(std::size_t count, std::size_t n)
{
    korvex::testing::meter::asking(count * n);
    return counted(__libc_calloc(count, n), count * n);
}
void* memalign(std::size_t alignment, std::size_t n)
{
    korvex::testing::meter::asking(n);
    return counted(__libc_memalign(alignment, n), n);
}
void* aligned_alloc(std::size_t alignment, std::size_t n) { return memalign(alignment, n); }
void* valloc(std::size_t n) { return memalign(std::size_t(sysconf(_SC_PAGESIZE)), n); }
void* pvalloc(std::size_t n)
{
    const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    return memalign(page, (n + page - 1) / page * page);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t n)
{
    void* p = memalign(alignment, n);
    if (!p)
        return 12;  // ENOMEM
    *out = p;
    return 0;
}
void free(void* p)
{
    using namespace korvex::testing::meter;
    if (p && active.load())
        removed(malloc_usable_size(p));
    __libc_free(p);
}
void* realloc(void* p, std::size_t n)
{
    using namespace korvex::testing::meter;
    const std::size_t before = p && active.load() ? malloc_usable_size(p) : 0;
    asking(n > before ? n - before : 0);
    void* q = __libc_realloc(p, n);
    if (q || n == 0)
        removed(before);
    return q ? counted(q, n) : q;
}
}
#endif
