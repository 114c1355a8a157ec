#include "driver/output_file.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The temporary file being written, removed if the process ends before the
// output is put in place (memory running out ends it from deep inside).
char* pending_temporary = nullptr;

void remove_pending_temporary()
{
    if (pending_temporary != nullptr) std::remove(pending_temporary);
}

void set_pending_temporary(const std::string& path)
{
    static bool registered = false;
    if (!registered) registered = std::atexit(remove_pending_temporary) == 0;
    std::free(pending_temporary);
    pending_temporary = static_cast<char*>(std::malloc(path.size() + 1));
    if (pending_temporary != nullptr) std::memcpy(pending_temporary, path.c_str(), path.size() + 1);
}

void clear_pending_temporary()
{
    std::free(pending_temporary);
    pending_temporary = nullptr;
}

int saved_errno(int fallback)
{
    return errno != 0 ? errno : fallback;
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

bool open_directly(OutputFile* output, const char* path, int* error)
{
    errno = 0;
    output->file = std::fopen(path, "wb");
    if (output->file == nullptr) {
        *error = saved_errno(EIO);
        return false;
    }
    output->target = path;
    output->temporary.clear();
    return true;
}

#ifdef _WIN32

bool open_replacement(OutputFile* output, const std::string& target, int* error)
{
    std::string temporary = folder_of(target);
    temporary.append("\\.zarnet-").append(std::to_string(_getpid())).append("-").append(
        std::to_string(GetTickCount64()));
    errno = 0;
    output->file = std::fopen(temporary.c_str(), "wbx");
    if (output->file == nullptr) {
        *error = saved_errno(EACCES);
        return false;
    }
    output->target = target;
    output->temporary = temporary;
    return true;
}

bool put_in_place(const OutputFile* output, int* error)
{
    if (!MoveFileExA(output->temporary.c_str(), output->target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *error = EACCES;
        return false;
    }
    return true;
}

void remove_temporary(const OutputFile* output)
{
    std::remove(output->temporary.c_str());
}

bool open_output(OutputFile* output, const char* path, int* error)
{
    struct _stat64 info;
    if (_stat64(path, &info) == 0 && (info.st_mode & S_IFMT) != S_IFREG) return open_directly(output, path, error);
    return open_replacement(output, path, error);
}

#else

// Mode bits for a file created by an ordinary open: 0666 less the umask.
mode_t default_mode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

bool open_replacement(OutputFile* output, const std::string& target, const struct stat* existing, int* error)
{
    std::string temporary = folder_of(target).append("/.zarnet-XXXXXX");
    errno = 0;
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        *error = saved_errno(EACCES);
        return false;
    }
    if (existing != nullptr) {
        // Best effort: only the owner or root may hand the file on.
        if (fchown(fd, existing->st_uid, existing->st_gid) != 0) errno = 0;
    }
    const mode_t mode = existing != nullptr ? static_cast<mode_t>(existing->st_mode & 07777) : default_mode();
    errno = 0;
    std::FILE* file = fchmod(fd, mode) == 0 ? fdopen(fd, "wb") : nullptr;
    if (file == nullptr) {
        *error = saved_errno(EIO);
        close(fd);
        unlink(temporary.c_str());
        return false;
    }
    output->file = file;
    output->target = target;
    output->temporary = temporary;
    return true;
}

bool put_in_place(const OutputFile* output, int* error)
{
    errno = 0;
    if (rename(output->temporary.c_str(), output->target.c_str()) != 0) {
        *error = saved_errno(EIO);
        return false;
    }
    return true;
}

void remove_temporary(const OutputFile* output)
{
    unlink(output->temporary.c_str());
}

constexpr int NO_DESCRIPTOR = -2;  // not a descriptor folder's entry at all
constexpr int OTHER_DESCRIPTOR = -1;  // an entry of another process's descriptor folder

// Whether `path`, through its folder or a chain of symbolic links, names an
// entry of a descriptor folder (/dev/stdout, /dev/fd/1, /proc/self/fd/1):
// the number of this process's descriptor it names, OTHER_DESCRIPTOR for
// another process's, or NO_DESCRIPTOR. Such a name stands for a file that is
// held open, such as the file a shell redirected standard output to.
int named_descriptor(std::string path)
{
    const std::string own = std::string("/proc/").append(std::to_string(getpid())).append("/fd");
    for (int hop = 0; hop < 40; ++hop) {
        char* folder = realpath(folder_of(path).c_str(), nullptr);
        if (folder != nullptr) {
            const std::string real = folder;
            std::free(folder);
            if (real.rfind("/proc/", 0) == 0 && real.size() > 3 && real.compare(real.size() - 3, 3, "/fd") == 0) {
                if (real != own) return OTHER_DESCRIPTOR;
                const std::string entry = path.substr(path.find_last_of('/') + 1);
                char* end = nullptr;
                const long number = std::strtol(entry.c_str(), &end, 10);
                if (entry.empty() || *end != '\0' || number < 0 || number > 1 << 20) return OTHER_DESCRIPTOR;
                return static_cast<int>(number);
            }
        }
        char link[4096];
        const ssize_t length = readlink(path.c_str(), link, sizeof link - 1);
        if (length < 0) return NO_DESCRIPTOR;
        link[length] = '\0';
        path = link[0] == '/' ? std::string(link) : folder_of(path).append("/").append(link);
    }
    return NO_DESCRIPTOR;
}

// Writes through a copy of one of this process's descriptors, so that the
// file keeps what it holds and is written where the descriptor stands (at
// its end when it was opened for appending), as a shell redirection means.
bool open_own_descriptor(OutputFile* output, const char* path, int descriptor, int* error)
{
    errno = 0;
    const int copy = dup(descriptor);
    output->file = copy >= 0 ? fdopen(copy, "wb") : nullptr;
    if (output->file == nullptr) {
        *error = saved_errno(EBADF);
        if (copy >= 0) close(copy);
        return false;
    }
    output->target = path;
    output->temporary.clear();
    return true;
}

bool open_output(OutputFile* output, const char* path, int* error)
{
    // A name of a held-open file is written directly: replacing the file
    // would cut it off from its holder.
    const int descriptor = named_descriptor(path);
    if (descriptor >= 0) return open_own_descriptor(output, path, descriptor, error);
    if (descriptor == OTHER_DESCRIPTOR) return open_directly(output, path, error);
    std::string target = path;
    struct stat info;
    if (lstat(path, &info) == 0 && S_ISLNK(info.st_mode)) {
        // Replace the file the link points to, not the link itself.
        char* resolved = realpath(path, nullptr);
        if (resolved == nullptr) return open_directly(output, path, error);
        target = resolved;
        std::free(resolved);
    }
    errno = 0;
    if (stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return open_directly(output, target.c_str(), error);
        // An unwritable existing file is refused like an ordinary open would refuse it.
        if (access(target.c_str(), W_OK) != 0) {
            *error = saved_errno(EACCES);
            return false;
        }
        return open_replacement(output, target, &info, error);
    }
    if (errno != ENOENT) {
        *error = saved_errno(EIO);
        return false;
    }
    return open_replacement(output, target, nullptr, error);
}

#endif

}  // namespace

bool output_file_is_input(const char* path, std::FILE* input)
{
#ifdef _WIN32
    (void)path;
    (void)input;
    return false;
#else
    struct stat out_info;
    struct stat in_info;
    if (stat(path, &out_info) != 0 || fstat(fileno(input), &in_info) != 0) return false;
    if (S_ISREG(out_info.st_mode) && named_descriptor(path) == NO_DESCRIPTOR) return false;
    return out_info.st_dev == in_info.st_dev && out_info.st_ino == in_info.st_ino;
#endif
}

bool output_file_open(OutputFile* output, const char* path, int* error)
{
    output->file = nullptr;
    if (!open_output(output, path, error)) return false;
    if (!output->temporary.empty()) set_pending_temporary(output->temporary);
    return true;
}

bool output_file_commit(OutputFile* output, int* error)
{
    bool ok = true;
    errno = 0;
    if (std::fflush(output->file) != 0 || std::ferror(output->file)) {
        *error = saved_errno(EIO);
        ok = false;
    }
    errno = 0;
    if (std::fclose(output->file) != 0 && ok) {
        *error = saved_errno(EIO);
        ok = false;
    }
    output->file = nullptr;
    if (output->temporary.empty()) return ok;
    const bool placed = ok && put_in_place(output, error);
    if (!placed) remove_temporary(output);
    clear_pending_temporary();
    return placed;
}

void output_file_abort(OutputFile* output)
{
    if (output->file != nullptr) std::fclose(output->file);
    output->file = nullptr;
    if (!output->temporary.empty()) remove_temporary(output);
    clear_pending_temporary();
}

bool write_output_file(const char* path, const unsigned char* bytes, std::int64_t size, int* error)
{
    OutputFile output;
    if (!output_file_open(&output, path, error)) return false;
    constexpr std::int64_t CHUNK = std::int64_t{1} << 30;
    for (std::int64_t done = 0; done < size;) {
        const std::int64_t piece = size - done < CHUNK ? size - done : CHUNK;
        errno = 0;
        if (std::fwrite(bytes + done, 1, static_cast<std::size_t>(piece), output.file) !=
            static_cast<std::size_t>(piece)) {
            *error = saved_errno(EIO);
            output_file_abort(&output);
            return false;
        }
        done += piece;
    }
    return output_file_commit(&output, error);
}
