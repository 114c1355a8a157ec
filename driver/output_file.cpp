#include "driver/output_file.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/file_system.h"

namespace {

// The temporary file being written, closed and removed if the process ends
// before the output is put in place (memory running out ends it from deep
// inside). Windows cannot remove a file that is still open.
struct PendingTemporary {
    char* path;
    std::FILE* file;
};
PendingTemporary pending{nullptr, nullptr};

void remove_pending_temporary()
{
    if (pending.path == nullptr) return;
    if (pending.file != nullptr) std::fclose(pending.file);
    remove_file(pending.path);
}

void set_pending_temporary(const std::string& path, std::FILE* file)
{
    static bool registered = false;
    if (!registered) registered = std::atexit(remove_pending_temporary) == 0;
    std::free(pending.path);
    pending.path = static_cast<char*>(std::malloc(path.size() + 1));
    if (pending.path != nullptr) std::memcpy(pending.path, path.c_str(), path.size() + 1);
    pending.file = file;
}

void clear_pending_temporary()
{
    std::free(pending.path);
    pending = PendingTemporary{nullptr, nullptr};
}

bool open_directly(OutputFile* output, const char* path, int* error)
{
    output->file = open_for_writing(path, error);
    if (output->file == nullptr) return false;
    output->target = path;
    output->temporary.clear();
    return true;
}

bool open_replacement(OutputFile* output, const std::string& target, const PathStatus* existing, int* error)
{
    output->file = create_temporary_beside(target, existing, &output->temporary, error);
    if (output->file == nullptr) return false;
    output->target = target;
    return true;
}

bool open_output(OutputFile* output, const char* path, int* error)
{
    // A name of a held-open file is written directly: replacing the file
    // would cut it off from its holder.
    const int descriptor = held_descriptor(path);
    if (descriptor >= 0) {
        output->file = open_descriptor_copy(descriptor, error);
        output->target = path;
        output->temporary.clear();
        return output->file != nullptr;
    }
    if (descriptor == HELD_BY_OTHER) return open_directly(output, path, error);

    // A link is followed: the file it points to is replaced, not the link.
    std::string target;
    if (!resolve_links(path, &target)) return open_directly(output, path, error);
    PathStatus status;
    if (!path_status(target.c_str(), &status, error)) return false;
    switch (status.kind) {
    case PathKind::missing:
        return open_replacement(output, target, nullptr, error);
    case PathKind::folder:
        *error = EISDIR;
        return false;
    case PathKind::other:
        return open_directly(output, target.c_str(), error);
    case PathKind::regular:
        break;
    }
    // An unwritable existing file is refused like an ordinary open would refuse it.
    if (status.write_error != 0) {
        *error = status.write_error;
        return false;
    }
    return open_replacement(output, target, &status, error);
}

}  // namespace

bool output_file_is_input(const char* path, std::FILE* input)
{
    return written_directly_into(path, input);
}

bool output_file_open(OutputFile* output, const char* path, int* error)
{
    output->file = nullptr;
    if (!open_output(output, path, error)) return false;
    if (!output->temporary.empty()) set_pending_temporary(output->temporary, output->file);
    return true;
}

bool output_file_commit(OutputFile* output, int* error)
{
    bool ok = true;
    pending.file = nullptr;
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
    const bool placed = ok && replace_file(output->temporary.c_str(), output->target.c_str(), error);
    if (!placed) remove_file(output->temporary.c_str());
    clear_pending_temporary();
    return placed;
}

void output_file_abort(OutputFile* output)
{
    pending.file = nullptr;
    if (output->file != nullptr) std::fclose(output->file);
    output->file = nullptr;
    if (!output->temporary.empty()) remove_file(output->temporary.c_str());
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
