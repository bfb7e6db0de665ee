// Linked into the test programs of the ThreadSanitizer build only (-DTINYRA_TSAN=ON).
//
// QProcess starts a program with clone(CLONE_VM | CLONE_VFORK): the child runs in the parent's
// memory until it executes the program. ThreadSanitizer's own clone() takes every clone for a fork,
// and its after-fork steps, run in that child, land in the parent's memory: the parent is marked as
// forked while threads ran (the next thread it starts ends the test with "starting new threads after
// multi-threaded fork"), its main thread stops being checked for synchronisation, and the sanitizer's
// locks are unlocked twice. A clone that shares the parent's memory is no fork, so it goes straight
// to the C library; any other clone still goes through the sanitizer.
#include <dlfcn.h>
#include <sched.h>
#include <sys/types.h>

#include <cstdarg>

extern "C" int clone(int (*fn)(void*), void* stack, int flags, void* arg, ...) noexcept {
    using Clone = int (*)(int (*)(void*), void*, int, void*, ...);
    static const auto sanitizers = reinterpret_cast<Clone>(dlsym(RTLD_NEXT, "clone"));
    static const auto libcs =
        reinterpret_cast<Clone>(dlsym(dlopen("libc.so.6", RTLD_LAZY | RTLD_NOLOAD), "clone"));
    va_list rest;
    va_start(rest, arg);
    pid_t* parentTid = va_arg(rest, pid_t*);
    void* tls = va_arg(rest, void*);
    pid_t* childTid = va_arg(rest, pid_t*);
    va_end(rest);
    return ((flags & CLONE_VM) ? libcs : sanitizers)(fn, stack, flags, arg, parentTid, tls, childTid);
}
