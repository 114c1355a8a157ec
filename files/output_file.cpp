#include "files/output_file.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <string>

#include "platform/file_system.h"
#include "files/messages.h"

namespace {

const FilePlace NO_PLACE{-1, std::string(), std::string()};

bool open_directly(OutputFile* output, const char* path, int* error)
{
    output->file = open_for_writing(path, error);
    if (output->file == nullptr) return false;
    return true;
}

void release_places(OutputFile* output)
{
    release_place(&output->place);
    release_place(&output->temporary);
}

// The temporary file in the system's temporary folder, for output copied in.
bool open_elsewhere(OutputFile* output, int* error)
{
    FilePlace elsewhere;
    if (!system_temporary_place(output->place.name, &elsewhere, error)) return false;
    if (folder_only_appends(elsewhere)) {
        release_place(&elsewhere);
        *error = EPERM;
        return false;
    }
    output->file = create_temporary(elsewhere, &output->temporary, error);
    release_place(&elsewhere);
    output->copy_in = true;
    return output->file != nullptr;
}

// The temporary file beside the target, or, when the output is to be copied
// in anyway and the folder refuses new files, in the system's temporary folder.
bool open_temporary(OutputFile* output, const PathStatus& status, int* error)
{
    output->existed = status.kind == PathKind::regular;
    // Replacing one of several names would leave the others with the old text.
    output->copy_in = output->existed && status.links > 1;
    // A folder that takes new files but lets none go could never lose a
    // temporary file again: the output waits in the system's temporary
    // folder and is copied into out_file, which is made then if it is new.
    if (folder_only_appends(output->place)) {
        output->create = !output->existed;
        return open_elsewhere(output, error);
    }
    output->file = create_temporary(output->place, &output->temporary, error);
    if (output->file == nullptr) {
        // A folder that refuses new files (or has none to give, as /proc)
        // may still let its existing file be written.
        if (!output->existed || (*error != EACCES && *error != EPERM && *error != ENOENT)) return false;
        int ignored = 0;
        return open_elsewhere(output, &ignored);
    }
    if (output->copy_in) return true;
    bool owner_kept = true;
    if (!adopt_attributes(output->file, output->existed ? &status : nullptr, &owner_kept, error)) return false;
    if (!owner_kept) output->copy_in = true;
    return true;
}

bool open_output(OutputFile* output, const char* path, const char* in_file, int* error)
{
    // A name of a held-open file is written directly: replacing the file
    // would cut it off from its holder.
    const int descriptor = held_descriptor(path);
    if (descriptor >= 0) {
        output->file = open_descriptor_copy(descriptor, error);
        return output->file != nullptr;
    }
    if (descriptor == HELD_BY_OTHER) return open_directly(output, path, error);

    if (!locate_file(path, &output->place, error)) return false;
    PathStatus status;
    if (!place_status(output->place, &status, error)) return false;
    switch (status.kind) {
    case PathKind::missing:
        return open_temporary(output, status, error);
    case PathKind::folder:
        *error = EISDIR;
        return false;
    case PathKind::other:
        release_place(&output->place);
        return open_directly(output, path, error);
    case PathKind::regular:
        break;
    }
    // An unwritable existing file is refused like an ordinary open would refuse it.
    if (status.write_error != 0) {
        *error = status.write_error;
        return false;
    }
    // The old text may be the user's only copy.
    output->to_disk = place_is_file(output->place, in_file);
    return open_temporary(output, status, error);
}

// The whole output is in the temporary file: copy it into out_file. If the
// copy stops part way, the temporary file is kept and named.
bool copy_output_in(OutputFile* output, int* error)
{
    const std::string kept = place_path(output->temporary);
    keep_temporary_on_signal(interrupted_copy_message(output->target.c_str(), kept));
    bool touched = false;
    const bool copied = copy_into(output->temporary, output->place, output->create, output->to_disk, &touched, error);
    if (copied || !touched) {
        remove_temporary(&output->temporary);
    } else {
        keep_temporary(&output->temporary);
        output->kept = kept;
    }
    release_places(output);
    return copied;
}

}  // namespace

bool output_file_is_input(const char* path, std::FILE* input)
{
    return written_directly_into(path, input);
}

bool output_file_open(OutputFile* output, const char* path, const char* in_file, int* error)
{
    *output = OutputFile{nullptr, path, NO_PLACE, NO_PLACE, false, false, false, false, std::string()};
    if (open_output(output, path, in_file, error)) return true;
    output_file_abort(output);
    return false;
}

bool output_file_commit(OutputFile* output, int* error)
{
    std::FILE* file = output->file;
    output->file = nullptr;
    // When copied in, the temporary file is forced to the disk too: during
    // the copy it holds the only complete text.
    const bool finished = finish_stream(file, output->to_disk, error);
    if (output->temporary.name.empty()) return finished;
    if (!finished) {
        output_file_abort(output);
        return false;
    }
    if (!output->copy_in) {
        if (rename_temporary(&output->temporary, output->place, error)) {
            if (output->to_disk) flush_folder(output->place);
            release_places(output);
            return true;
        }
        // A mount point, a sticky folder or the like refuses the rename
        // of an existing file, which may still be written in place.
        const int refused = *error;
        if (!output->existed || (refused != EBUSY && refused != EXDEV && refused != EPERM && refused != EACCES)) {
            output_file_abort(output);
            return false;
        }
    }
    return copy_output_in(output, error);
}

void output_file_abort(OutputFile* output)
{
    int ignored = 0;
    if (output->file != nullptr) finish_stream(output->file, false, &ignored);
    output->file = nullptr;
    if (!output->temporary.name.empty()) remove_temporary(&output->temporary);
    output->temporary.name.clear();
    release_places(output);
}

bool write_output_file(const char* path, const char* in_file, const unsigned char* bytes, std::int64_t size,
                       int* error, std::string* kept)
{
    OutputFile output;
    if (!output_file_open(&output, path, in_file, error)) return false;
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
    const bool committed = output_file_commit(&output, error);
    *kept = output.kept;
    return committed;
}
