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

#include "common/saved_errno.h"

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
};

// What `path` names, following symbolic links. False with *error when it
// cannot be told (a missing file is no failure: its kind is `missing`).
bool path_status(const char* path, PathStatus* status, int* error);

// The kind and, for a regular file, the size of an open stream's file.
bool stream_status(std::FILE* file, PathKind* kind, std::int64_t* size, int* error);

// Opens `path` for reading in binary mode. A folder is refused with EISDIR
// on every platform.
std::FILE* open_for_reading(const char* path, int* error);

// The path of the file a chain of symbolic links ends at in *target; `path`
// itself when it is no link. False when it is a link whose chain cannot be
// followed to its end (a dangling link, a loop).
bool resolve_links(const char* path, std::string* target);

// True for a byte that separates folders in a path.
bool is_path_separator(char c);

// Creates a new, empty file with a name of its own in the folder of
// `beside`, opened for writing in binary mode, its path in *path. It takes
// the permission bits and, where allowed, the owner of `existing` when given,
// else those an ordinary new file would get. Null with *error on failure.
std::FILE* create_temporary_beside(const std::string& beside, const PathStatus* existing, std::string* path,
                                   int* error);

// Renames `from` to `to`, replacing whatever file `to` names.
bool replace_file(const char* from, const char* to, int* error);

// Removes a file; quietly does nothing when it cannot.
void remove_file(const char* path);

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
