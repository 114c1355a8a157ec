#pragma once
// The calls on files, folders and standard streams that differ between POSIX
// systems and Windows, behind one interface. file_system_posix.cpp and
// file_system_windows.cpp each implement all of it; everything else in the
// program uses only this and the C library's streams.
//
// Failures come back as an errno value, so that every platform reports them
// with strerror in the same words.

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/saved_errno.h"

enum class PathKind {
    missing,  // nothing by that name (or a folder on the way is missing)
    regular,  // an ordinary file
    folder,
    other,    // a device, a pipe, a FIFO, a console: written and read directly
};

struct PathStatus {
    PathKind kind;
    int write_error;       // 0 when an open for writing would be allowed, else the errno it would fail with
    unsigned permissions;  // a regular file's permission bits (07777); 0 where there are none
    unsigned owner;        // a regular file's owner and group; 0 where there are none
    unsigned group;
    unsigned links;        // a regular file's number of names (hard links); 1 where not known
};

// What `path` names, following symbolic links. False with *error when it
// cannot be told (a missing file is no failure: its kind is `missing`).
bool path_status(const char* path, PathStatus* status, int* error);

// The kind and, for a regular file, the size of an open stream's file.
bool stream_status(std::FILE* file, PathKind* kind, std::int64_t* size, int* error);

// Opens `path` for reading in binary mode. A folder is refused with EISDIR
// on every platform.
std::FILE* open_for_reading(const char* path, int* error);

// True for a byte that separates folders in a path.
bool is_path_separator(char c);

// A place for a file: a folder held open and a name in it. Files are
// created, renamed and removed relative to the folder's handle, so a path
// of any length the system accepts works, and the folder found once stays
// the one used. On Windows the folder is not held (`folder` is -1) and its
// path is used instead.
struct FilePlace {
    int folder;               // handle of the open folder; -1 when none
    std::string folder_path;  // the folder as named (for messages and for Windows), may end with a separator
    std::string name;         // the file's name in the folder
};

// The path of the place for messages: folder and name joined.
std::string place_path(const FilePlace& place);

// Finds where writing to `path` puts the bytes: a symbolic link is followed
// to the name it ends at, which need not exist (a dangling link ends at the
// file it would create), and that name's folder is opened. False with
// *error when a folder on the way is missing, the links loop, or the name
// can only be a folder ("x/", "."); *place then holds no handle.
bool locate_file(const char* path, FilePlace* place, int* error);

// Closes the folder's handle.
void release_place(FilePlace* place);

// What the place names (`path_status` of it).
bool place_status(const FilePlace& place, PathStatus* status, int* error);

// True when the place and `path` name the very same existing file.
bool place_is_file(const FilePlace& place, const char* path);

// True when the place's folder takes new files but lets none be removed
// or renamed (an append-only folder, chattr +a): a temporary file made
// there could never go again.
bool folder_only_appends(const FilePlace& place);

// The system's temporary folder as a place for a file called `name`.
bool system_temporary_place(const std::string& name, FilePlace* place, int* error);

// Threads that may each write an output file at the same time: a signal
// removes every one's temporary file. One on systems where the output files
// are written one at a time.
constexpr int PENDING_TEMPORARIES_MAX = 16;
unsigned concurrent_output_files();

// Creates a new, empty file beside `beside` (in its folder), readable and
// writable by its owner only, opened for writing in binary mode, and named
// after it: ".<name>.zarnet-XXXXXX", the name cut to fit the folder's limit.
// *temporary gets its place (its own handle of the folder). Until it is
// renamed or removed it is a pending temporary file: it is removed when the
// process ends early, by exit() or by any signal whose default action ends
// a process and that can be caught (SIGINT, SIGTERM, SIGHUP, SIGALRM,
// SIGPIPE, SIGUSR1, SIGXFSZ, SIGSEGV, the real-time signals ...; on Windows
// the console's Ctrl-C, Ctrl-Break and close events), which then ends the
// process by the same signal. Null with *error on failure.
std::FILE* create_temporary(const FilePlace& beside, FilePlace* temporary, int* error);

// Gives the file the permission bits and the owner and group of `existing`
// when given (where allowed), else the bits an ordinary new file gets from
// the umask. *owner_kept is false when the owner or group could not be
// kept; the bits are then left as they are.
bool adopt_attributes(std::FILE* file, const PathStatus* existing, bool* owner_kept, int* error);

// Flushes and closes a stream, first forcing its bytes to the disk when
// `to_disk` (fsync; FlushFileBuffers on Windows).
bool finish_stream(std::FILE* file, bool to_disk, int* error);

// Asks the system to start writing `length` bytes of the open file, from
// `offset` on, to the disk, without waiting for them (Linux's
// sync_file_range; elsewhere nothing). Only a hint, for bytes that will not
// change: whatever the file is, nothing fails.
void start_writeback(std::FILE* file, std::int64_t offset, std::int64_t length);

// Renames the temporary file to the target's name in the same folder,
// replacing the file there. It is then no longer pending.
bool rename_temporary(FilePlace* temporary, const FilePlace& target, int* error);

// Forces the folder's entries to the disk, after a rename in it (nothing
// on Windows, whose rename is written through). Best effort.
void flush_folder(const FilePlace& place);

// Removes the temporary file. It is then no longer pending.
void remove_temporary(FilePlace* temporary);

// The temporary file stays where it is, no longer pending.
void keep_temporary(FilePlace* temporary);

// While copy_into is changing the file it copies into, from its first
// write until the file is whole, a signal that ends the process keeps the
// pending temporary file and writes `message` to standard error instead:
// the file holds the only complete copy of the output.
void keep_temporary_on_signal(const std::string& message);

// Copies the whole of `from` into the file `to`, in place: it stays the same
// file, with its owner, links and mounts (`create`: a new file is made
// there, with the bits the umask leaves); room for the bytes is reserved
// first where the system can. Copies into the same file take turns: each
// holds an advisory lock on it for its whole copy (flock; LockFileEx on
// Windows), waiting while another holds it. When `to_disk`, its bytes are
// forced to the disk afterwards. False with *error on failure; *touched
// then tells whether `to` may have been changed.
bool copy_into(const FilePlace& from, const FilePlace& to, bool create, bool to_disk, bool* touched, int* error);

// Opens `path` for writing in binary mode, creating it or emptying it, as
// fopen(path, "wb") does: for what is written directly (a device, a pipe).
std::FILE* open_for_writing(const char* path, int* error);

// For names of this process's open descriptors (/dev/stdout, /dev/fd/1,
// /proc/self/fd/1, or a link to one): the descriptor's number. Such a name
// stands for a file that is held open, as by a shell's redirection.
// HELD_BY_OTHER for a descriptor of another process, NOT_HELD otherwise
// (always, on systems without such names).
constexpr int NOT_HELD = -2;
constexpr int HELD_BY_OTHER = -1;
int held_descriptor(const char* path);

// A stream writing through a copy of one of this process's descriptors.
std::FILE* open_descriptor_copy(int descriptor, int* error);

// True when the file `path` names is the one `file` reads, and `path` is
// written directly rather than replaced (not a plain regular file).
bool written_directly_into(const char* path, std::FILE* file);

// Makes the standard streams pass bytes unchanged (no line-end translation).
void set_binary_standard_streams();
