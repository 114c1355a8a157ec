#include "platform/file_system.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/features.h"
#include "platform/memory.h"
#include "platform/temporary_name.h"

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

std::string base_of(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joined_path(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder == ".") return name;
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (path.back() != '/') path.push_back('/');
    path.append(name);
    return path;
}

// A folder is held by a handle good for lookups only, where the system has one.
#ifdef O_PATH
constexpr int FOLDER_FLAGS = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int FOLDER_FLAGS = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

void fill_status(const struct stat& info, PathStatus* status)
{
    status->kind = kind_of_mode(info.st_mode);
    status->permissions = static_cast<unsigned>(info.st_mode & 07777);
    status->owner = static_cast<unsigned>(info.st_uid);
    status->group = static_cast<unsigned>(info.st_gid);
    status->links = static_cast<unsigned>(info.st_nlink);
}

// Six letters or digits, different in every call, every thread and every
// process.
std::string random_suffix()
{
    thread_local std::uint64_t state = 0;
    if (state == 0) {
        struct timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        state = static_cast<std::uint64_t>(now.tv_nsec) ^ (static_cast<std::uint64_t>(now.tv_sec) << 30) ^
                (static_cast<std::uint64_t>(getpid()) << 12) ^ reinterpret_cast<std::uintptr_t>(&state);
    }
    state += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z ^= z >> 31;
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix.push_back(letters[z % 62]);
        z /= 62;
    }
    return suffix;
}

// The pending temporary files, for the signal handler and the exit handler:
// one for each thread that writes an output file (several write files at
// once, each its own). A thread changes its own only while the signals that
// end the process are held back on it, and sets the state last, so the
// handler never takes a half-made one for made.
enum PendingState : int { NOTHING_PENDING, REMOVE_ON_END, KEEP_ON_END };
struct Pending {
    volatile std::sig_atomic_t state;
    int folder;
    char* name;
    char* message;
    std::size_t message_size;
};
Pending pendings[PENDING_TEMPORARIES_MAX];
std::atomic<int> pendings_taken{0};

// The calling thread's pending temporary file.
Pending& mine()
{
    thread_local int slot = -1;
    if (slot < 0) slot = pendings_taken.fetch_add(1) % PENDING_TEMPORARIES_MAX;
    return pendings[slot];
}

// Removes the file of a pending slot, or says where the output is kept.
void end_pending(Pending& pending)
{
    if (pending.state == REMOVE_ON_END) {
        unlinkat(pending.folder, pending.name, 0);
    } else if (pending.state == KEEP_ON_END) {
        std::size_t done = 0;
        while (done < pending.message_size) {
            const ssize_t wrote = write(STDERR_FILENO, pending.message + done, pending.message_size - done);
            if (wrote <= 0) break;
            done += static_cast<std::size_t>(wrote);
        }
    }
    pending.state = NOTHING_PENDING;
}

// Every signal whose default action ends the process and that can be
// caught: those asked for (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1 ...),
// limits (SIGXFSZ, SIGXCPU), timers, a closed pipe, the faults of a failing
// program and the real-time signals.
constexpr int ENDING_SIGNALS[] = {
    SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGPIPE, SIGXCPU, SIGXFSZ,
    SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGSEGV, SIGSYS,
#ifdef SIGPOLL
    SIGPOLL,
#endif
#if defined(SIGIO) && (!defined(SIGPOLL) || SIGIO != SIGPOLL)
    SIGIO,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGEMT
    SIGEMT,
#endif
#ifdef SIGLOST
    SIGLOST,
#endif
};

template <typename Act>
void for_each_ending_signal(Act act)
{
    for (int signal_number : ENDING_SIGNALS) act(signal_number);
#ifdef SIGRTMIN
    for (int signal_number = SIGRTMIN; signal_number <= SIGRTMAX; ++signal_number) act(signal_number);
#endif
}

sigset_t ending_signals()
{
    sigset_t ending;
    sigemptyset(&ending);
    for_each_ending_signal([&ending](int signal_number) { sigaddset(&ending, signal_number); });
    return ending;
}

sigset_t hold_ending_signals()
{
    static const sigset_t ending = ending_signals();
    sigset_t old;
    sigprocmask(SIG_BLOCK, &ending, &old);
    return old;
}

void release_ending_signals(const sigset_t& old)
{
    sigprocmask(SIG_SETMASK, &old, nullptr);
}

// Only async-signal-safe calls: remove the file (or say where the output
// is kept), then end by the same signal, whose default action SA_RESETHAND
// has put back; it is delivered as soon as the handler returns.
void end_by_signal(int signal_number)
{
    for (Pending& pending : pendings) end_pending(pending);
    raise(signal_number);
}

// Memory running out ends the process through exit() from deep inside.
void remove_pending_at_exit()
{
    for (Pending& pending : pendings) {
        if (pending.state == REMOVE_ON_END) unlinkat(pending.folder, pending.name, 0);
        pending.state = NOTHING_PENDING;
    }
}

// Once per process, whichever thread comes first; the others wait for it.
// Only a signal left to its default action gets the handler: one the
// process was started with ignored (nohup, a shell's trap '') stays
// ignored, and one a tool has a handler for (a sanitizer's for faults)
// keeps it.
void start_watching_ending_signals()
{
    std::atexit(remove_pending_at_exit);
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = end_by_signal;
    action.sa_mask = ending_signals();
    action.sa_flags = SA_RESETHAND;
    // Set, and put back where it was not left to its default: one call
    // each for the many that are. Held back meanwhile, an ignored signal
    // that comes is dropped once it is ignored again.
    const sigset_t held = hold_ending_signals();
    for_each_ending_signal([&action](int signal_number) {
        struct sigaction old;
        if (sigaction(signal_number, &action, &old) != 0) return;
        if ((old.sa_flags & SA_SIGINFO) != 0 || old.sa_handler != SIG_DFL) sigaction(signal_number, &old, nullptr);
    });
    release_ending_signals(held);
}

void watch_ending_signals()
{
    static std::once_flag watching;
    std::call_once(watching, start_watching_ending_signals);
}

char* copy_of(const std::string& text)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void forget_pending()
{
    const sigset_t old = hold_ending_signals();
    Pending& pending = mine();
    pending.state = NOTHING_PENDING;
    std::free(pending.name);
    std::free(pending.message);
    pending.folder = -1;
    pending.name = nullptr;
    pending.message = nullptr;
    pending.message_size = 0;
    release_ending_signals(old);
}

}  // namespace

bool path_status(const char* path, PathStatus* status, int* error)
{
    *status = PathStatus{PathKind::missing, 0, 0, 0, 0, 1};
    struct stat info;
    errno = 0;
    if (stat(path, &info) != 0) {
        if (errno == ENOENT) return true;
        *error = saved_errno(EIO);
        return false;
    }
    fill_status(info, status);
    errno = 0;
    status->write_error = access(path, W_OK) == 0 ? 0 : saved_errno(EACCES);
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

bool is_path_separator(char c)
{
    return c == '/';
}

std::string place_path(const FilePlace& place)
{
    return joined_path(place.folder_path, place.name);
}

bool locate_file(const char* path, FilePlace* place, int* error)
{
    place->folder = -1;
    // An empty name names nothing, as open() has it.
    if (path[0] == '\0') {
        *error = ENOENT;
        return false;
    }
    std::string folder_path = folder_of(path);
    std::string name = base_of(path);
    errno = 0;
    int folder = open(folder_path.c_str(), FOLDER_FLAGS);
    if (folder < 0) {
        *error = saved_errno(ENOENT);
        return false;
    }
    // Each link is read relative to the folder it is in, so a chain of
    // relative links never builds a path longer than the system allows.
    for (int hop = 0;; ++hop) {
        if (name.empty() || name == "." || name == "..") {
            close(folder);
            *error = EISDIR;
            return false;
        }
        char link[PATH_MAX];
        const ssize_t length = readlinkat(folder, name.c_str(), link, sizeof link);
        if (length < 0) break;  // no link: a file, or nothing yet (or a failure the next call reports)
        if (hop == 40 || length == static_cast<ssize_t>(sizeof link)) {
            close(folder);
            *error = hop == 40 ? ELOOP : ENAMETOOLONG;
            return false;
        }
        const std::string text(link, static_cast<std::size_t>(length));
        const bool absolute = text[0] == '/';
        const std::string link_folder = folder_of(text);
        errno = 0;
        const int next = openat(absolute ? AT_FDCWD : folder, link_folder.c_str(), FOLDER_FLAGS);
        const int next_error = saved_errno(ENOENT);
        close(folder);
        if (next < 0) {
            *error = next_error;
            return false;
        }
        folder = next;
        if (absolute) {
            folder_path = link_folder;
        } else if (link_folder != ".") {
            folder_path = joined_path(folder_path, link_folder);
        }
        name = base_of(text);
    }
    *place = FilePlace{folder, folder_path, name};
    return true;
}

void release_place(FilePlace* place)
{
    if (place->folder >= 0) close(place->folder);
    place->folder = -1;
}

bool place_status(const FilePlace& place, PathStatus* status, int* error)
{
    *status = PathStatus{PathKind::missing, 0, 0, 0, 0, 1};
    struct stat info;
    errno = 0;
    if (fstatat(place.folder, place.name.c_str(), &info, 0) != 0) {
        if (errno == ENOENT) return true;
        *error = saved_errno(EIO);
        return false;
    }
    fill_status(info, status);
    errno = 0;
    status->write_error = faccessat(place.folder, place.name.c_str(), W_OK, 0) == 0 ? 0 : saved_errno(EACCES);
    return true;
}

bool place_is_file(const FilePlace& place, const char* path)
{
    struct stat placed;
    struct stat other;
    if (fstatat(place.folder, place.name.c_str(), &placed, 0) != 0 || stat(path, &other) != 0) return false;
    return S_ISREG(placed.st_mode) && placed.st_dev == other.st_dev && placed.st_ino == other.st_ino;
}

bool folder_only_appends(const FilePlace& place)
{
#if ZARNET_LINUX && defined(STATX_ATTR_APPEND)
    struct statx info;
    return statx(place.folder, "", AT_EMPTY_PATH, 0, &info) == 0 &&
           (info.stx_attributes_mask & info.stx_attributes & STATX_ATTR_APPEND) != 0;
#else
    (void)place;
    return false;
#endif
}

bool system_temporary_place(const std::string& name, FilePlace* place, int* error)
{
    const char* variable = std::getenv("TMPDIR");
    const std::string folder_path = variable != nullptr && variable[0] != '\0' ? variable : P_tmpdir;
    errno = 0;
    const int folder = open(folder_path.c_str(), FOLDER_FLAGS);
    if (folder < 0) {
        *error = saved_errno(ENOENT);
        return false;
    }
    *place = FilePlace{folder, folder_path, name};
    return true;
}

std::FILE* create_temporary(const FilePlace& beside, FilePlace* temporary, int* error)
{
    watch_ending_signals();
    const long limit = fpathconf(beside.folder, _PC_NAME_MAX);
    const std::size_t name_max = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporary_name(beside.name, random_suffix(), name_max);
        if (name.empty()) {
            *error = ENAMETOOLONG;
            return nullptr;
        }
        // Created and made pending in one step, as far as signals can tell.
        const sigset_t old = hold_ending_signals();
        errno = 0;
        const int fd = openat(beside.folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        const int open_error = saved_errno(EACCES);
        errno = 0;
        const int folder = fd >= 0 ? fcntl(beside.folder, F_DUPFD_CLOEXEC, 0) : -1;
        const int folder_error = saved_errno(EMFILE);
        char* pending_name = folder >= 0 ? copy_of(name) : nullptr;
        if (pending_name != nullptr) {
            Pending& pending = mine();
            pending.folder = folder;
            pending.name = pending_name;
            pending.message = nullptr;
            pending.message_size = 0;
            pending.state = REMOVE_ON_END;
        } else if (fd >= 0) {
            close(fd);
            unlinkat(beside.folder, name.c_str(), 0);
            if (folder >= 0) close(folder);
        }
        release_ending_signals(old);
        if (fd < 0) {
            if (open_error == EEXIST) continue;
            *error = open_error;
            return nullptr;
        }
        if (folder < 0) {
            *error = folder_error;
            return nullptr;
        }
        if (pending_name == nullptr) fail_allocation(name.size() + 1);
        *temporary = FilePlace{folder, beside.folder_path, name};
        errno = 0;
        std::FILE* file = fdopen(fd, "wb");
        if (file == nullptr) {
            // The C library's own reason: its memory for the stream, as a rule.
            *error = saved_errno(ENOMEM);
            close(fd);
            remove_temporary(temporary);
            release_place(temporary);
            temporary->name.clear();
            return nullptr;
        }
        return file;
    }
    *error = EEXIST;
    return nullptr;
}

bool adopt_attributes(std::FILE* file, const PathStatus* existing, bool* owner_kept, int* error)
{
    const int fd = fileno(file);
    *owner_kept = true;
    mode_t mode = default_mode();
    if (existing != nullptr) {
        struct stat info;
        errno = 0;
        if (fstat(fd, &info) != 0) {
            *error = saved_errno(EIO);
            return false;
        }
        const uid_t owner = static_cast<uid_t>(existing->owner);
        const gid_t group = static_cast<gid_t>(existing->group);
        // Only root, or the owner for a group of their own, may hand a file on.
        if ((info.st_uid != owner || info.st_gid != group) && fchown(fd, owner, group) != 0) {
            *owner_kept = false;
            return true;
        }
        mode = static_cast<mode_t>(existing->permissions);
    }
    errno = 0;
    if (fchmod(fd, mode) != 0) {
        *error = saved_errno(EIO);
        return false;
    }
    return true;
}

bool finish_stream(std::FILE* file, bool to_disk, int* error)
{
    bool ok = true;
    errno = 0;
    if (std::fflush(file) != 0 || std::ferror(file)) {
        *error = saved_errno(EIO);
        ok = false;
    }
    errno = 0;
    if (ok && to_disk && fsync(fileno(file)) != 0) {
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

void start_writeback(std::FILE* file, std::int64_t offset, std::int64_t length)
{
#if ZARNET_LINUX
    // Fails harmlessly on a pipe or a terminal; the caller's errno stays.
    const int saved = errno;
    sync_file_range(fileno(file), static_cast<off_t>(offset), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE);
    errno = saved;
#else
    (void)file;
    (void)offset;
    (void)length;
#endif
}

bool rename_temporary(FilePlace* temporary, const FilePlace& target, int* error)
{
    const sigset_t old = hold_ending_signals();
    errno = 0;
    const bool renamed = renameat(temporary->folder, temporary->name.c_str(), target.folder, target.name.c_str()) == 0;
    if (!renamed) *error = saved_errno(EIO);
    if (renamed) forget_pending();
    release_ending_signals(old);
    return renamed;
}

void flush_folder(const FilePlace& place)
{
    // A handle for lookups cannot be flushed; the folder is opened for reading.
    const int fd = openat(place.folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

void remove_temporary(FilePlace* temporary)
{
    const sigset_t old = hold_ending_signals();
    unlinkat(temporary->folder, temporary->name.c_str(), 0);
    forget_pending();
    release_ending_signals(old);
}

void keep_temporary(FilePlace* temporary)
{
    (void)temporary;
    forget_pending();
}

void keep_temporary_on_signal(const std::string& message)
{
    char* copy = copy_of(message);
    if (copy == nullptr) fail_allocation(message.size() + 1);
    const sigset_t old = hold_ending_signals();
    Pending& pending = mine();
    if (pending.state != NOTHING_PENDING) {
        std::free(pending.message);
        pending.message = copy;
        pending.message_size = message.size();
    } else {
        std::free(copy);
    }
    release_ending_signals(old);
}

namespace {

// While out_file is being changed the pending temporary file holds the only
// whole output, and a signal keeps it and says so (when a message was
// given); before and after, it is removed as ever.
void set_copy_changing(bool changing)
{
    const sigset_t old = hold_ending_signals();
    Pending& pending = mine();
    if (pending.state != NOTHING_PENDING && pending.message != nullptr) {
        pending.state = changing ? KEEP_ON_END : REMOVE_ON_END;
    }
    release_ending_signals(old);
}

// *wrote_any becomes true once a byte reached the file.
bool write_all_at(int fd, const unsigned char* bytes, std::size_t count, off_t offset, bool* wrote_any)
{
    while (count > 0) {
        ssize_t wrote = pwrite(fd, bytes, count, offset);
        // A file without positions (as in /proc) is written in order.
        if (wrote < 0 && errno == ESPIPE) wrote = write(fd, bytes, count);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        *wrote_any = true;
        bytes += wrote;
        count -= static_cast<std::size_t>(wrote);
        offset += wrote;
    }
    return true;
}

// Copies `in` over the start of `out` and cuts `out` to its length.
// *touched tells whether `out` was changed.
bool copy_bytes(int in, int out, off_t size, bool* touched, int* error)
{
    static unsigned char buffer[1 << 18];
    off_t done = 0;
    while (done < size) {
        const std::size_t want = size - done < static_cast<off_t>(sizeof buffer) ? static_cast<std::size_t>(size - done)
                                                                                 : sizeof buffer;
        errno = 0;
        const ssize_t got = read(in, buffer, want);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            *error = saved_errno(EIO);
            return false;
        }
        errno = 0;
        if (!write_all_at(out, buffer, static_cast<std::size_t>(got), done, touched)) {
            *error = saved_errno(EIO);
            return false;
        }
        done += got;
    }
    // Cut to its length, out_file is whole: from then on a signal removes
    // the temporary file again and has nothing to say.
    const sigset_t old = hold_ending_signals();
    errno = 0;
    const bool cut = ftruncate(out, size) == 0;
    if (cut) {
        *touched = true;
        set_copy_changing(false);
    } else {
        *error = saved_errno(EIO);
    }
    release_ending_signals(old);
    return cut;
}

}  // namespace

bool copy_into(const FilePlace& from, const FilePlace& to, bool create, bool to_disk, bool* touched, int* error)
{
    *touched = false;
    errno = 0;
    const int in = openat(from.folder, from.name.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        *error = saved_errno(EIO);
        return false;
    }
    struct stat info;
    errno = 0;
    const int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC | (create ? O_CREAT | O_EXCL : 0);
    const int out = fstat(in, &info) == 0 ? openat(to.folder, to.name.c_str(), flags, 0666) : -1;
    if (out < 0) {
        *error = saved_errno(EIO);
        close(in);
        return false;
    }
    // Runs copying into the same file take turns, each holding the lock
    // for its whole copy, so the file ends up as one run's whole output.
    // A file system without locks is copied into all the same.
    while (flock(out, LOCK_EX) != 0 && errno == EINTR) {
    }
    bool ok = true;
#if ZARNET_LINUX
    // Room for all of it first: a full disk then leaves the file as it was.
    // Where the file system cannot reserve, the copy goes ahead regardless.
    errno = 0;
    if (info.st_size > 0 && fallocate(out, FALLOC_FL_KEEP_SIZE, 0, info.st_size) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) {
        *error = errno;
        ok = false;
    }
#endif
    if (ok) {
        set_copy_changing(true);
        ok = copy_bytes(in, out, info.st_size, touched, error);
        if (!*touched) set_copy_changing(false);
    }
    errno = 0;
    if (ok && to_disk && fsync(out) != 0) {
        *error = saved_errno(EIO);
        ok = false;
    }
    close(in);
    errno = 0;
    if (close(out) != 0 && ok) {
        *error = saved_errno(EIO);
        ok = false;
    }
    // A file made for the copy and left unchanged goes again, where the folder allows.
    if (!ok && create && !*touched) unlinkat(to.folder, to.name.c_str(), 0);
    return ok;
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

unsigned concurrent_output_files()
{
    // The calling thread's slot, and one for each of the others.
    return PENDING_TEMPORARIES_MAX - 1;
}
