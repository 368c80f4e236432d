#ifndef ZENDRA_CORE_THREADHANDOFF_H
#define ZENDRA_CORE_THREADHANDOFF_H

#if defined(__SANITIZE_THREAD__)
#define ZENDRA_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZENDRA_THREAD_SANITIZER 1
#endif
#endif

#ifdef ZENDRA_THREAD_SANITIZER
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

// A hand-off of data from one thread to another that ThreadSanitizer is told of. Qt orders
// them (a queued call, QThread::wait) with synchronisation that it cannot see, as Debian's Qt
// is not built with it: the thread that hands off calls Release after its last write, the one
// that takes over calls Acquire before its first read, both naming the same object. Nothing
// in other builds.
class ThreadHandOff
{
public:
    static void Release([[maybe_unused]] const void* object)
    {
#ifdef ZENDRA_THREAD_SANITIZER
        __tsan_release(const_cast<void*>(object));
#endif
    }

    static void Acquire([[maybe_unused]] const void* object)
    {
#ifdef ZENDRA_THREAD_SANITIZER
        __tsan_acquire(const_cast<void*>(object));
#endif
    }
};

#endif
