// A preloadable library that makes every file-system call wait a fixed time first, as each call
// to a file server waits for its round trip: LD_PRELOAD=.../libtessaline-latency-shim.so with
// LATENCY_SHIM_MICROSECONDS (default 200). For benchmarks only; nothing of the product loads it.
#include <cstdarg>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sleeps otherwise end up to 50 microseconds late, which would be a quarter of the latency the
// shim stands for. Threads started later inherit the setting.
__attribute__((constructor)) void PreciseSleeps()
{
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void Wait()
{
    static const long microseconds = [] {
        const char* text = std::getenv("LATENCY_SHIM_MICROSECONDS");
        return text != nullptr ? std::atol(text) : 200L;
    }();
    timespec pause{microseconds / 1000000, (microseconds % 1000000) * 1000};
    while (nanosleep(&pause, &pause) != 0) {
    }
}

template <typename Function> Function Next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

mode_t ModeArgument(int flags, va_list arguments)
{
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    Wait();
    static const auto next = Next<int (*)(const char*, int, ...)>("open");
    return next(path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    Wait();
    static const auto next = Next<int (*)(const char*, int, ...)>("open64");
    return next(path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    Wait();
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat");
    return next(folder, path, flags, mode);
}

int openat64(int folder, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    Wait();
    static const auto next = Next<int (*)(int, const char*, int, ...)>("openat64");
    return next(folder, path, flags, mode);
}

int close(int fd)
{
    Wait();
    static const auto next = Next<int (*)(int)>("close");
    return next(fd);
}

ssize_t read(int fd, void* buffer, size_t size)
{
    Wait();
    static const auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
    return next(fd, buffer, size);
}

ssize_t write(int fd, const void* buffer, size_t size)
{
    Wait();
    static const auto next = Next<ssize_t (*)(int, const void*, size_t)>("write");
    return next(fd, buffer, size);
}

ssize_t getdents64(int fd, void* buffer, size_t size)
{
    Wait();
    static const auto next = Next<ssize_t (*)(int, void*, size_t)>("getdents64");
    return next(fd, buffer, size);
}

struct dirent64* readdir64(DIR* folder)
{
    Wait();
    static const auto next = Next<struct dirent64* (*)(DIR*)>("readdir64");
    return next(folder);
}

struct dirent* readdir(DIR* folder)
{
    Wait();
    static const auto next = Next<struct dirent* (*)(DIR*)>("readdir");
    return next(folder);
}

int stat(const char* path, struct stat* status)
{
    Wait();
    static const auto next = Next<int (*)(const char*, struct stat*)>("stat");
    return next(path, status);
}

int lstat(const char* path, struct stat* status)
{
    Wait();
    static const auto next = Next<int (*)(const char*, struct stat*)>("lstat");
    return next(path, status);
}

int fstat(int fd, struct stat* status)
{
    Wait();
    static const auto next = Next<int (*)(int, struct stat*)>("fstat");
    return next(fd, status);
}

int fstatat(int folder, const char* path, struct stat* status, int flags)
{
    Wait();
    static const auto next = Next<int (*)(int, const char*, struct stat*, int)>("fstatat");
    return next(folder, path, status, flags);
}

int fsync(int fd)
{
    Wait();
    static const auto next = Next<int (*)(int)>("fsync");
    return next(fd);
}

int rename(const char* from, const char* to)
{
    Wait();
    static const auto next = Next<int (*)(const char*, const char*)>("rename");
    return next(from, to);
}

int unlink(const char* path)
{
    Wait();
    static const auto next = Next<int (*)(const char*)>("unlink");
    return next(path);
}

} // extern "C"
