#include "common/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

PathKind kind_of_mode(mode_t mode)
{
    if (S_ISREG(mode)) return PathKind::regular;
    if (S_ISDIR(mode)) return PathKind::folder;
    return PathKind::other;
}

// Mode bits for a file created by an ordinary open: 0666 less the umask.
mode_t default_mode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

bool path_status(const char* path, PathStatus* status, int* error)
{
    *status = PathStatus{PathKind::missing, 0, 0, 0, 0};
    struct stat info;
    errno = 0;
    if (stat(path, &info) != 0) {
        if (errno == ENOENT) return true;
        *error = saved_errno(EIO);
        return false;
    }
    status->kind = kind_of_mode(info.st_mode);
    errno = 0;
    status->write_error = access(path, W_OK) == 0 ? 0 : saved_errno(EACCES);
    status->permissions = static_cast<unsigned>(info.st_mode & 07777);
    status->owner = static_cast<unsigned>(info.st_uid);
    status->group = static_cast<unsigned>(info.st_gid);
    return true;
}

bool stream_status(std::FILE* file, PathKind* kind, std::int64_t* size, int* error)
{
    struct stat info;
    errno = 0;
    if (fstat(fileno(file), &info) != 0) {
        *error = saved_errno(EIO);
        return false;
    }
    *kind = kind_of_mode(info.st_mode);
    *size = static_cast<std::int64_t>(info.st_size);
    return true;
}

std::FILE* open_for_reading(const char* path, int* error)
{
    errno = 0;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        *error = saved_errno(ENOENT);
        return nullptr;
    }
    PathKind kind = PathKind::other;
    std::int64_t size = 0;
    if (!stream_status(file, &kind, &size, error) || kind == PathKind::folder) {
        if (kind == PathKind::folder) *error = EISDIR;
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool resolve_links(const char* path, std::string* target)
{
    *target = path;
    struct stat info;
    if (lstat(path, &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    char* resolved = realpath(path, nullptr);
    if (resolved == nullptr) return false;
    *target = resolved;
    std::free(resolved);
    return true;
}

bool is_path_separator(char c)
{
    return c == '/';
}

std::FILE* create_temporary_beside(const std::string& beside, const PathStatus* existing, std::string* path,
                                   int* error)
{
    std::string temporary = folder_of(beside).append("/.zarnet-XXXXXX");
    errno = 0;
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        *error = saved_errno(EACCES);
        return nullptr;
    }
    if (existing != nullptr) {
        // Best effort: only the owner or root may hand the file on.
        if (fchown(fd, static_cast<uid_t>(existing->owner), static_cast<gid_t>(existing->group)) != 0) errno = 0;
    }
    const mode_t mode = existing != nullptr ? static_cast<mode_t>(existing->permissions) : default_mode();
    errno = 0;
    std::FILE* file = fchmod(fd, mode) == 0 ? fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
        *error = saved_errno(EIO);
        close(fd);
        unlink(temporary.c_str());
        return nullptr;
    }
    *path = temporary;
    return file;
}

bool replace_file(const char* from, const char* to, int* error)
{
    errno = 0;
    if (rename(from, to) != 0) {
        *error = saved_errno(EIO);
        return false;
    }
    return true;
}

void remove_file(const char* path)
{
    unlink(path);
}

std::FILE* open_for_writing(const char* path, int* error)
{
    errno = 0;
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) *error = saved_errno(EIO);
    return file;
}

int held_descriptor(const char* path)
{
    const std::string own = std::string("/proc/").append(std::to_string(getpid())).append("/fd");
    std::string name = path;
    for (int hop = 0; hop < 40; ++hop) {
        char* folder = realpath(folder_of(name).c_str(), nullptr);
        if (folder != nullptr) {
            const std::string real = folder;
            std::free(folder);
            if (real.rfind("/proc/", 0) == 0 && real.size() > 3 && real.compare(real.size() - 3, 3, "/fd") == 0) {
                if (real != own) return HELD_BY_OTHER;
                const std::string entry = name.substr(name.find_last_of('/') + 1);
                char* end = nullptr;
                const long number = std::strtol(entry.c_str(), &end, 10);
                if (entry.empty() || *end != '\0' || number < 0 || number > 1 << 20) return HELD_BY_OTHER;
                return static_cast<int>(number);
            }
        }
        char link[4096];
        const ssize_t length = readlink(name.c_str(), link, sizeof link - 1);
        if (length < 0) return NOT_HELD;
        link[length] = '\0';
        name = link[0] == '/' ? std::string(link) : folder_of(name).append("/").append(link);
    }
    return NOT_HELD;
}

std::FILE* open_descriptor_copy(int descriptor, int* error)
{
    errno = 0;
    const int copy = dup(descriptor);
    std::FILE* file = copy >= 0 ? fdopen(copy, "wb") : nullptr;
    if (file == nullptr) {
        *error = saved_errno(EBADF);
        if (copy >= 0) close(copy);
    }
    return file;
}

bool written_directly_into(const char* path, std::FILE* file)
{
    struct stat out_info;
    struct stat in_info;
    if (stat(path, &out_info) != 0 || fstat(fileno(file), &in_info) != 0) return false;
    if (S_ISREG(out_info.st_mode) && held_descriptor(path) == NOT_HELD) return false;
    return out_info.st_dev == in_info.st_dev && out_info.st_ino == in_info.st_ino;
}

void set_binary_standard_streams()
{
    // POSIX streams never translate line ends.
}
