#ifndef ZENDRA_CORE_THREADSANITIZER_H
#define ZENDRA_CORE_THREADSANITIZER_H

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
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();
#endif

// What ThreadSanitizer is told of the threads' sharing; nothing in other builds.
// Debian's Qt is not built with it, so the order that Qt gives two threads (a queued call,
// QThread::wait) is unseen: the thread that hands data off calls Release after its last
// write, the one that takes it over calls Acquire before its first read, both naming the
// same object. Accesses that the design lets overlap another thread's are made under an
// Unchecked.
class ThreadSanitizer
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

    // While it lives, this thread's memory accesses are not recorded, so none is reported.
    class Unchecked
    {
    public:
        Unchecked()
        {
#ifdef ZENDRA_THREAD_SANITIZER
            __tsan_ignore_thread_begin();
#endif
        }
        ~Unchecked()
        {
#ifdef ZENDRA_THREAD_SANITIZER
            __tsan_ignore_thread_end();
#endif
        }
        Unchecked(const Unchecked&) = delete;
        Unchecked& operator=(const Unchecked&) = delete;
    };
};

#endif
