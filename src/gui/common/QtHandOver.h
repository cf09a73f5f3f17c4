#pragma once

// Hand-overs between threads that Qt orders with its own locks and atomics:
// its thread pool's queue, a future's end, a queued call. Debian's Qt is not
// built with ThreadSanitizer, so the sanitizer build cannot see them (and
// ignores Qt's own calls, tests/tsan.supp): the thread that hands data over
// marks it sent, the one that takes it marks it received, by the same key.
// Both are nothing outside that build.

#if defined(__SANITIZE_THREAD__)
#define KORVEX_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KORVEX_THREAD_SANITIZER 1
#endif
#endif

#ifdef KORVEX_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace korvex {

// What this thread has done so far happens before whatever a thread does
// after receivedThroughQt(key).
inline void sentThroughQt([[maybe_unused]] const void* key)
{
#ifdef KORVEX_THREAD_SANITIZER
    __tsan_release(const_cast<void*>(key));
#endif
}

inline void receivedThroughQt([[maybe_unused]] const void* key)
{
#ifdef KORVEX_THREAD_SANITIZER
    __tsan_acquire(const_cast<void*>(key));
#endif
}

}  // namespace korvex
