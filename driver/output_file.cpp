#include "driver/output_file.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

int saved_errno(int fallback)
{
    return errno != 0 ? errno : fallback;
}

// Writes all bytes and closes the stream; false with *error on any failure.
bool write_and_close(std::FILE* file, const unsigned char* bytes, std::int64_t size, int* error)
{
    constexpr std::int64_t CHUNK = std::int64_t{1} << 30;
    bool ok = true;
    for (std::int64_t done = 0; ok && done < size;) {
        const std::int64_t piece = size - done < CHUNK ? size - done : CHUNK;
        errno = 0;
        if (std::fwrite(bytes + done, 1, static_cast<std::size_t>(piece), file) != static_cast<std::size_t>(piece)) {
            *error = saved_errno(EIO);
            ok = false;
        }
        done += piece;
    }
    errno = 0;
    if (ok && std::fflush(file) != 0) {
        *error = saved_errno(EIO);
        ok = false;
    }
    errno = 0;
    if (std::fclose(file) != 0 && ok) {
        *error = saved_errno(EIO);
        ok = false;
    }
    return ok;
}

bool write_directly(const char* path, const unsigned char* bytes, std::int64_t size, int* error)
{
    errno = 0;
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        *error = saved_errno(EIO);
        return false;
    }
    return write_and_close(file, bytes, size, error);
}

std::string folder_of(const std::string& path)
{
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\");
#else
    const std::size_t slash = path.find_last_of('/');
#endif
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

#ifdef _WIN32

bool replace_file(const std::string& target, const unsigned char* bytes, std::int64_t size, int* error)
{
    const std::string temporary =
        folder_of(target) + "\\.zarnet-" + std::to_string(_getpid()) + "-" + std::to_string(GetTickCount64());
    errno = 0;
    std::FILE* file = std::fopen(temporary.c_str(), "wbx");
    if (file == nullptr) {
        *error = saved_errno(EACCES);
        return false;
    }
    if (!write_and_close(file, bytes, size, error)) {
        std::remove(temporary.c_str());
        return false;
    }
    if (!MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *error = EACCES;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool write_to(const char* path, const unsigned char* bytes, std::int64_t size, int* error)
{
    struct _stat64 info;
    if (_stat64(path, &info) == 0 && (info.st_mode & S_IFMT) != S_IFREG) {
        return write_directly(path, bytes, size, error);
    }
    return replace_file(path, bytes, size, error);
}

#else

// Mode bits for a file created by an ordinary open: 0666 less the umask.
mode_t default_mode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

bool replace_file(const std::string& target, const struct stat* existing, const unsigned char* bytes,
                  std::int64_t size, int* error)
{
    std::string temporary = folder_of(target) + "/.zarnet-XXXXXX";
    errno = 0;
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        *error = saved_errno(EACCES);
        return false;
    }
    const auto fail = [&](int reason) {
        *error = reason;
        unlink(temporary.c_str());
        return false;
    };
    if (existing != nullptr) {
        // Best effort: only the owner or root may hand the file on.
        if (fchown(fd, existing->st_uid, existing->st_gid) != 0) errno = 0;
    }
    const mode_t mode = existing != nullptr ? static_cast<mode_t>(existing->st_mode & 07777) : default_mode();
    if (fchmod(fd, mode) != 0) {
        const int reason = saved_errno(EPERM);
        close(fd);
        return fail(reason);
    }
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int reason = saved_errno(EIO);
        close(fd);
        return fail(reason);
    }
    if (!write_and_close(file, bytes, size, error)) return fail(*error);
    errno = 0;
    if (rename(temporary.c_str(), target.c_str()) != 0) return fail(saved_errno(EIO));
    return true;
}

// True when `path`, through its folder or a chain of symbolic links, names an
// entry of a descriptor folder (/dev/stdout, /dev/fd/1, /proc/self/fd/1). Such
// a name stands for a file that another process holds open, such as the
// file a shell redirected standard output to; replacing that file would cut
// it off from its holder, so it is written directly like a pipe.
bool names_open_descriptor(std::string path)
{
    for (int hop = 0; hop < 40; ++hop) {
        char* folder = realpath(folder_of(path).c_str(), nullptr);
        if (folder != nullptr) {
            const std::string real = folder;
            std::free(folder);
            if (real.rfind("/proc/", 0) == 0 && real.size() > 3 && real.compare(real.size() - 3, 3, "/fd") == 0) {
                return true;
            }
        }
        char link[4096];
        const ssize_t length = readlink(path.c_str(), link, sizeof link - 1);
        if (length < 0) return false;
        link[length] = '\0';
        path = link[0] == '/' ? std::string(link) : folder_of(path).append("/").append(link);
    }
    return false;
}

bool write_to(const char* path, const unsigned char* bytes, std::int64_t size, int* error)
{
    if (names_open_descriptor(path)) return write_directly(path, bytes, size, error);
    std::string target = path;
    struct stat info;
    if (lstat(path, &info) == 0 && S_ISLNK(info.st_mode)) {
        // Replace the file the link points to, not the link itself.
        char* resolved = realpath(path, nullptr);
        if (resolved == nullptr) return write_directly(path, bytes, size, error);
        target = resolved;
        std::free(resolved);
    }
    errno = 0;
    if (stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return write_directly(target.c_str(), bytes, size, error);
        // The folder must let us write there at all; an unwritable existing
        // file is refused like an ordinary open would refuse it.
        if (access(target.c_str(), W_OK) != 0) {
            *error = saved_errno(EACCES);
            return false;
        }
        return replace_file(target, &info, bytes, size, error);
    }
    if (errno != ENOENT) {
        *error = saved_errno(EIO);
        return false;
    }
    return replace_file(target, nullptr, bytes, size, error);
}

#endif

}  // namespace

bool write_output_file(const char* path, const unsigned char* bytes, std::int64_t size, int* error)
{
    return write_to(path, bytes, size, error);
}
