#include "platform/file_system.h"

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/error_line.h"
#include "platform/temporary_name.h"
#include "platform/windows_text.h"

namespace {

// The errno value that says the same as a Windows error code.
int errno_from_windows(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FILE_IN_USE;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    default:
        return EIO;
    }
}

// The folder part of `path` joined with `name`. A drive-relative "C:name"
// keeps its drive.
std::string beside_path(const std::string& path, const std::string& name)
{
    std::size_t end = path.size();
    while (end > 0 && !is_path_separator(path[end - 1]) && path[end - 1] != ':') --end;
    if (end == 0) return std::string(".\\").append(name);
    return path.substr(0, end).append(name);
}

// The last part of a path: the name of the file in its folder.
std::string base_name(const std::string& path)
{
    std::size_t start = path.size();
    while (start > 0 && !is_path_separator(path[start - 1]) && path[start - 1] != ':') --start;
    return path.substr(start);
}

// True for the names Windows keeps for devices in every folder (CON, PRN,
// AUX, NUL, COM1..COM9, LPT1..LPT9, CONIN$, CONOUT$, with any extension),
// and for paths in the device namespace (\\.\pipe\name, \\.\COM10).
bool is_device_name(const char* path)
{
    const std::string text = path;
    if (text.rfind("\\\\.\\", 0) == 0 || text.rfind("//./", 0) == 0) return true;
    std::size_t start = text.size();
    while (start > 0 && !is_path_separator(text[start - 1]) && text[start - 1] != ':') --start;
    std::string name = text.substr(start, text.find('.', start) - start);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL" || name == "CONIN$" || name == "CONOUT$") {
        return true;
    }
    return name.size() == 4 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "LPT") == 0) && name[3] >= '1' &&
           name[3] <= '9';
}

// The path the wide calls get for one of the program's file names: device
// names as they are (in the extended-length form they would name plain
// files), everything else as its full path in that form.
std::wstring windows_path(const char* path)
{
    return is_device_name(path) ? wide_from_utf8(path) : long_path(path);
}

// True when the file at `path` is held open by another program that lets no
// one delete or rename it: a refusal to replace it is then no lack of rights.
bool held_by_another_program(const std::wstring& path)
{
    const HANDLE handle = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

// A C stream on an open handle; the handle is closed when that fails.
std::FILE* stream_from_handle(HANDLE handle, int flags, const char* mode, int* error)
{
    errno = 0;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    std::FILE* file = fd >= 0 ? _fdopen(fd, mode) : nullptr;
    if (file == nullptr) {
        *error = saved_errno(EMFILE);
        if (fd >= 0) {
            _close(fd);
        } else {
            CloseHandle(handle);
        }
    }
    return file;
}

}  // namespace

bool path_status(const char* path, PathStatus* status, int* error)
{
    *status = PathStatus{PathKind::missing, 0, 0, 0, 0, 1};
    if (is_device_name(path)) {
        status->kind = PathKind::other;
        return true;
    }
    // Asking for no access at all opens files, folders and devices alike
    // (and names like NUL or CON), whatever they are shared as.
    const std::wstring wide = windows_path(path);
    const HANDLE handle = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return true;
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            *error = errno_from_windows(code);
            return false;
        }
        status->kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::folder : PathKind::regular;
        status->write_error = (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? EACCES : 0;
        return true;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        status->kind = PathKind::other;
    } else {
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(handle, &info)) {
            *error = errno_from_windows(GetLastError());
            CloseHandle(handle);
            return false;
        }
        const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        status->kind = folder ? PathKind::folder : PathKind::regular;
        status->write_error = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? EACCES : 0;
        status->links = static_cast<unsigned>(info.nNumberOfLinks);
    }
    CloseHandle(handle);
    return true;
}

bool stream_status(std::FILE* file, PathKind* kind, std::int64_t* size, int* error)
{
    struct _stat64 info;
    errno = 0;
    if (_fstat64(_fileno(file), &info) != 0) {
        *error = saved_errno(EIO);
        return false;
    }
    const unsigned type = info.st_mode & S_IFMT;
    *kind = type == S_IFREG ? PathKind::regular : type == S_IFDIR ? PathKind::folder : PathKind::other;
    *size = static_cast<std::int64_t>(info.st_size);
    return true;
}

std::FILE* open_for_reading(const char* path, int* error)
{
    // Shared for reading and writing, as the C library opens files.
    const HANDLE handle = CreateFileW(windows_path(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::FILE* file = nullptr;
    if (handle == INVALID_HANDLE_VALUE) {
        *error = errno_from_windows(GetLastError());
    } else {
        file = stream_from_handle(handle, _O_RDONLY, "rb", error);
    }
    if (file == nullptr) {
        // Windows refuses to open a folder at all, and says so as a lack of access.
        PathStatus status;
        int ignored = 0;
        if (path_status(path, &status, &ignored) && status.kind == PathKind::folder) *error = EISDIR;
        return nullptr;
    }
    return file;
}

bool is_path_separator(char c)
{
    return c == '/' || c == '\\';
}

// The calls on paths that the calls on places at the end are made of.
std::FILE* create_temporary_beside(const std::string& beside, const PathStatus* existing, std::string* path,
                                   std::wstring* wide_path, int* error);
bool replace_file(const char* from, const char* to, int* error);
void remove_file(const char* path);

std::FILE* create_temporary_beside(const std::string& beside, const PathStatus* existing, std::string* path,
                                   std::wstring* wide_path, int* error)
{
    (void)existing;
    const std::string stem = std::to_string(_getpid()).append("-");
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        std::string candidate =
            beside_path(beside, temporary_name(base_name(beside), std::string(stem).append(std::to_string(attempt)), 255));
        std::wstring wide = windows_path(candidate.c_str());
        const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) continue;
            *error = errno_from_windows(code);
            return nullptr;
        }
        std::FILE* file = stream_from_handle(handle, _O_WRONLY, "wb", error);
        if (file == nullptr) {
            remove_file(candidate.c_str());
            return nullptr;
        }
        path->swap(candidate);
        wide_path->swap(wide);
        return file;
    }
    *error = EEXIST;
    return nullptr;
}

bool replace_file(const char* from, const char* to, int* error)
{
    const std::wstring wide_from = windows_path(from);
    const std::wstring wide_to = windows_path(to);
    // A virus scanner or indexer may hold a fresh file for a moment.
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(wide_from.c_str(), wide_to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD code = GetLastError();
        if (attempt == 20 || (code != ERROR_SHARING_VIOLATION && code != ERROR_LOCK_VIOLATION)) {
            *error = code == ERROR_ACCESS_DENIED && held_by_another_program(wide_to) ? FILE_IN_USE
                                                                                     : errno_from_windows(code);
            return false;
        }
        Sleep(50);
    }
}

void remove_file(const char* path)
{
    DeleteFileW(windows_path(path).c_str());
}

std::FILE* open_for_writing(const char* path, int* error)
{
    // Created or emptied and shared for reading and writing, as the C library opens files.
    const HANDLE handle = CreateFileW(windows_path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = errno_from_windows(GetLastError());
        return nullptr;
    }
    return stream_from_handle(handle, _O_WRONLY, "wb", error);
}

int held_descriptor(const char* path)
{
    (void)path;
    return NOT_HELD;
}

std::FILE* open_descriptor_copy(int descriptor, int* error)
{
    errno = 0;
    const int copy = _dup(descriptor);
    std::FILE* file = copy >= 0 ? _fdopen(copy, "wb") : nullptr;
    if (file == nullptr) {
        *error = saved_errno(EBADF);
        if (copy >= 0) _close(copy);
    }
    return file;
}

bool written_directly_into(const char* path, std::FILE* file)
{
    // Only devices, pipes and consoles are written directly here, and none
    // of them can be the file being read.
    (void)path;
    (void)file;
    return false;
}

void set_binary_standard_streams()
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// Places, the pending temporary file, and the console's Ctrl-C, Ctrl-Break
// and close events. Windows holds no folder open: a place is its folder's
// path (ending with a separator, or empty) and a name.

namespace {

enum PendingState { NOTHING_PENDING, REMOVE_ON_END, KEEP_ON_END };

// The pending temporary file. The console's events are handled on a thread
// of their own, so it is changed only under the lock.
struct Pending {
    CRITICAL_SECTION lock;
    int state;
    std::string path;
    std::wstring wide_path;  // its path for the wide calls, made beforehand: removing it allocates nothing
    std::FILE* file;  // the stream writing it, until it is closed
    std::string message;
};
Pending pending;

// Ends the process as Ctrl-C does, with STATUS_CONTROL_C_EXIT, after
// removing the file: it was opened to allow that, and goes when its handle
// closes. The lock stays taken, so the main thread cannot rename it meanwhile.
BOOL WINAPI end_by_console_event(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    EnterCriticalSection(&pending.lock);
    if (pending.state == REMOVE_ON_END) {
        DeleteFileW(pending.wide_path.c_str());
    } else if (pending.state == KEEP_ON_END) {
        DWORD wrote = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), pending.message.data(), static_cast<DWORD>(pending.message.size()),
                  &wrote, nullptr);
    }
    pending.state = NOTHING_PENDING;
    TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
    return TRUE;
}

// Memory running out ends the process through exit() from deep inside.
void remove_pending_at_exit()
{
    if (!TryEnterCriticalSection(&pending.lock)) return;
    if (pending.state == REMOVE_ON_END) {
        if (pending.file != nullptr) std::fclose(pending.file);
        DeleteFileW(pending.wide_path.c_str());
    }
    pending.state = NOTHING_PENDING;
    pending.file = nullptr;
    LeaveCriticalSection(&pending.lock);
}

void watch_console_events()
{
    static bool watching = false;
    if (watching) return;
    watching = true;
    InitializeCriticalSection(&pending.lock);
    pending.state = NOTHING_PENDING;
    pending.file = nullptr;
    std::atexit(remove_pending_at_exit);
    SetConsoleCtrlHandler(end_by_console_event, TRUE);
}

void set_pending_state(int state)
{
    watch_console_events();
    EnterCriticalSection(&pending.lock);
    pending.state = state;
    LeaveCriticalSection(&pending.lock);
}

bool same_file_information(const char* a, const char* b)
{
    BY_HANDLE_FILE_INFORMATION info[2];
    const char* paths[2] = {a, b};
    for (int i = 0; i < 2; ++i) {
        const HANDLE handle = CreateFileW(windows_path(paths[i]).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
        const bool known = GetFileInformationByHandle(handle, &info[i]) != 0;
        CloseHandle(handle);
        if (!known) return false;
    }
    return (info[0].dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

}  // namespace

std::string place_path(const FilePlace& place)
{
    return std::string(place.folder_path).append(place.name);
}

bool locate_file(const char* path, FilePlace* place, int* error)
{
    // An empty name names nothing.
    if (path[0] == '\0') {
        *error = ENOENT;
        return false;
    }
    const std::string name = base_name(path);
    if (name.empty() || name == "." || name == "..") {
        *error = EISDIR;
        return false;
    }
    const std::string whole = path;
    *place = FilePlace{-1, whole.substr(0, whole.size() - name.size()), name};
    return true;
}

void release_place(FilePlace* place)
{
    place->folder = -1;
}

bool place_status(const FilePlace& place, PathStatus* status, int* error)
{
    return path_status(place_path(place).c_str(), status, error);
}

bool place_is_file(const FilePlace& place, const char* path)
{
    return same_file_information(place_path(place).c_str(), path);
}

bool folder_only_appends(const FilePlace& place)
{
    // Windows has no such folders.
    (void)place;
    return false;
}

bool system_temporary_place(const std::string& name, FilePlace* place, int* error)
{
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        *error = ENOENT;
        return false;
    }
    *place = FilePlace{-1, utf8_from_wide(folder), name};
    return true;
}

std::FILE* create_temporary(const FilePlace& beside, FilePlace* temporary, int* error)
{
    watch_console_events();
    // Made and made pending in one step, as far as the console's events can tell.
    EnterCriticalSection(&pending.lock);
    std::string path;
    std::wstring wide_path;
    std::FILE* file = create_temporary_beside(place_path(beside), nullptr, &path, &wide_path, error);
    if (file != nullptr) {
        // Pending before anything more is allocated: should memory run out,
        // the file is removed on the way out.
        pending.path.swap(path);
        pending.wide_path.swap(wide_path);
        pending.file = file;
        pending.state = REMOVE_ON_END;
        const std::string name = base_name(pending.path);
        *temporary = FilePlace{-1, pending.path.substr(0, pending.path.size() - name.size()), name};
    }
    LeaveCriticalSection(&pending.lock);
    return file;
}

bool adopt_attributes(std::FILE* file, const PathStatus* existing, bool* owner_kept, int* error)
{
    // No permission bits or owners to carry over here.
    (void)file;
    (void)existing;
    (void)error;
    *owner_kept = true;
    return true;
}

void start_writeback(std::FILE*, std::int64_t, std::int64_t)
{
    // Windows writes its cache out on its own schedule; there is no call to
    // start it for part of a file.
}

bool finish_stream(std::FILE* file, bool to_disk, int* error)
{
    bool ok = true;
    errno = 0;
    if (std::fflush(file) != 0 || std::ferror(file)) {
        *error = saved_errno(EIO);
        ok = false;
    }
    if (ok && to_disk && !FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))))) {
        *error = errno_from_windows(GetLastError());
        ok = false;
    }
    watch_console_events();
    EnterCriticalSection(&pending.lock);
    if (pending.file == file) pending.file = nullptr;
    errno = 0;
    if (std::fclose(file) != 0 && ok) {
        *error = saved_errno(EIO);
        ok = false;
    }
    LeaveCriticalSection(&pending.lock);
    return ok;
}

bool rename_temporary(FilePlace* temporary, const FilePlace& target, int* error)
{
    watch_console_events();
    EnterCriticalSection(&pending.lock);
    // Written through: the rename is on the disk when it returns.
    const bool renamed = replace_file(place_path(*temporary).c_str(), place_path(target).c_str(), error);
    if (renamed) pending.state = NOTHING_PENDING;
    LeaveCriticalSection(&pending.lock);
    return renamed;
}

void flush_folder(const FilePlace& place)
{
    (void)place;
}

void remove_temporary(FilePlace* temporary)
{
    watch_console_events();
    EnterCriticalSection(&pending.lock);
    // The pending file's path was made beforehand: once the copy into
    // out_file is done, no allocation may fail the run.
    if (pending.state != NOTHING_PENDING) {
        DeleteFileW(pending.wide_path.c_str());
    } else {
        remove_file(place_path(*temporary).c_str());
    }
    pending.state = NOTHING_PENDING;
    LeaveCriticalSection(&pending.lock);
}

void keep_temporary(FilePlace* temporary)
{
    (void)temporary;
    set_pending_state(NOTHING_PENDING);
}

void keep_temporary_on_signal(const std::string& message)
{
    watch_console_events();
    EnterCriticalSection(&pending.lock);
    if (pending.state != NOTHING_PENDING) pending.message = message;
    LeaveCriticalSection(&pending.lock);
}

namespace {

// While out_file is being changed the pending temporary file holds the only
// whole output, and an event that ends the program keeps it and says so
// (when a message was given); before and after, it is removed as ever.
void set_copy_changing(bool changing)
{
    watch_console_events();
    EnterCriticalSection(&pending.lock);
    if (pending.state != NOTHING_PENDING && !pending.message.empty()) {
        pending.state = changing ? KEEP_ON_END : REMOVE_ON_END;
    }
    LeaveCriticalSection(&pending.lock);
}

}  // namespace

bool copy_into(const FilePlace& from, const FilePlace& to, bool create, bool to_disk, bool* touched, int* error)
{
    *touched = false;
    // Made before the temporary file is held open, which keeps it from
    // being removed should memory run out on the way.
    const std::wstring target = windows_path(place_path(to).c_str());
    std::FILE* in = open_for_reading(place_path(from).c_str(), error);
    if (in == nullptr) return false;
    // Opened as it stands, neither created nor emptied: it stays the same file.
    const HANDLE handle = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, create ? CREATE_NEW : OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    std::FILE* out = nullptr;
    if (handle == INVALID_HANDLE_VALUE) {
        *error = errno_from_windows(GetLastError());
    } else {
        // Runs copying into the same file take turns, each holding the
        // whole file locked for its whole copy (until the handle closes).
        OVERLAPPED whole{};
        LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
        out = stream_from_handle(handle, _O_RDWR, "r+b", error);
    }
    if (out == nullptr) {
        std::fclose(in);
        return false;
    }
    set_copy_changing(true);
    static unsigned char buffer[1 << 18];
    bool ok = true;
    long long size = 0;
    for (;;) {
        errno = 0;
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, in);
        if (got == 0) {
            if (std::ferror(in)) {
                *error = saved_errno(EIO);
                ok = false;
            }
            break;
        }
        errno = 0;
        if (std::fwrite(buffer, 1, got, out) != got) {
            *error = saved_errno(EIO);
            ok = false;
            break;
        }
        *touched = true;
        size += static_cast<long long>(got);
    }
    errno = 0;
    if (ok && (std::fflush(out) != 0 || _chsize_s(_fileno(out), size) != 0)) {
        *error = saved_errno(EIO);
        ok = false;
    }
    if (ok || !*touched) {
        if (ok) *touched = true;
        set_copy_changing(false);
    }
    if (ok && to_disk && !FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(out))))) {
        *error = errno_from_windows(GetLastError());
        ok = false;
    }
    std::fclose(in);
    errno = 0;
    if (std::fclose(out) != 0 && ok) {
        *error = saved_errno(EIO);
        ok = false;
    }
    if (!ok && create && !*touched) remove_file(place_path(to).c_str());
    return ok;
}

unsigned concurrent_output_files()
{
    // The console's events remove one pending temporary file.
    return 1;
}
