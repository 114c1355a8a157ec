// The calls on files that differ between systems, on this one.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/file_system.h"
#include "tests/test_support.h"

namespace {

namespace fs = std::filesystem;

PathStatus status_of(const std::string& path)
{
    PathStatus status{PathKind::other, -1, 0, 0, 0};
    int error = 0;
    EXPECT_TRUE(path_status(path.c_str(), &status, &error)) << path << ": " << error;
    return status;
}

TEST(FileSystem, PathStatusTellsTheKinds)
{
    ScratchDir dir;
    write_bytes(dir.file("file"), "text");
    ASSERT_EQ(chmod(dir.file("file").c_str(), 0640), 0);
    fs::create_symlink("file", dir.file("link"));

    const PathStatus file = status_of(dir.file("file"));
    EXPECT_EQ(file.kind, PathKind::regular);
    EXPECT_EQ(file.write_error, 0);
    EXPECT_EQ(file.permissions, 0640u);
    EXPECT_EQ(status_of(dir.file("link")).kind, PathKind::regular);
    EXPECT_EQ(status_of(dir.path).kind, PathKind::folder);
    EXPECT_EQ(status_of("/dev/null").kind, PathKind::other);
    EXPECT_EQ(status_of(dir.file("absent")).kind, PathKind::missing);
    EXPECT_EQ(status_of(dir.file("absent/deeper")).kind, PathKind::missing);

    // A file on the way is not a folder: that is a failure, not a missing file.
    PathStatus status;
    int error = 0;
    EXPECT_FALSE(path_status(dir.file("file/deeper").c_str(), &status, &error));
    EXPECT_EQ(error, ENOTDIR);
}

TEST(FileSystem, OpenForReadingRefusesFoldersAndMissingFiles)
{
    ScratchDir dir;
    int error = 0;
    EXPECT_EQ(open_for_reading(dir.path.c_str(), &error), nullptr);
    EXPECT_EQ(error, EISDIR);
    EXPECT_EQ(open_for_reading(dir.file("absent").c_str(), &error), nullptr);
    EXPECT_EQ(error, ENOENT);

    write_bytes(dir.file("file"), "12345");
    std::FILE* file = open_for_reading(dir.file("file").c_str(), &error);
    ASSERT_NE(file, nullptr);
    PathKind kind = PathKind::missing;
    std::int64_t size = 0;
    EXPECT_TRUE(stream_status(file, &kind, &size, &error));
    EXPECT_EQ(kind, PathKind::regular);
    EXPECT_EQ(size, 5);
    std::fclose(file);
}

TEST(FileSystem, LinksResolveToTheirEndOrFail)
{
    ScratchDir dir;
    fs::create_directory(dir.file("real"));
    write_bytes(dir.file("real/target"), "");
    fs::create_symlink("real/target", dir.file("one"));
    fs::create_symlink("one", dir.file("two"));
    fs::create_symlink("nowhere", dir.file("dangling"));

    std::string target;
    ASSERT_TRUE(resolve_links(dir.file("two").c_str(), &target));
    EXPECT_EQ(fs::path(target), fs::canonical(dir.file("real/target")));
    ASSERT_TRUE(resolve_links(dir.file("real/target").c_str(), &target));
    EXPECT_EQ(target, dir.file("real/target"));
    EXPECT_FALSE(resolve_links(dir.file("dangling").c_str(), &target));
}

TEST(FileSystem, TemporaryFileTakesTheModeOfTheFileItReplaces)
{
    ScratchDir dir;
    const std::string target = dir.file("out");
    write_bytes(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0604), 0);
    const PathStatus existing = status_of(target);

    std::string temporary;
    int error = 0;
    std::FILE* file = create_temporary_beside(target, &existing, &temporary, &error);
    ASSERT_NE(file, nullptr) << error;
    EXPECT_EQ(fs::path(temporary).parent_path(), fs::path(dir.path));
    EXPECT_NE(temporary, target);
    std::fputs("new", file);
    std::fclose(file);
    EXPECT_EQ(status_of(temporary).permissions, 0604u);

    ASSERT_TRUE(replace_file(temporary.c_str(), target.c_str(), &error)) << error;
    EXPECT_EQ(read_bytes(target), "new");
    EXPECT_FALSE(file_exists(temporary));

    // In a folder that is gone nothing can be made.
    EXPECT_EQ(create_temporary_beside(dir.file("gone/out"), nullptr, &temporary, &error), nullptr);
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(replace_file(dir.file("absent").c_str(), target.c_str(), &error));
    EXPECT_EQ(error, ENOENT);
}

TEST(FileSystem, NamesOfOwnDescriptorsAreFound)
{
    ScratchDir dir;
    write_bytes(dir.file("plain"), "");
    EXPECT_EQ(held_descriptor("/dev/stdout"), 1);
    EXPECT_EQ(held_descriptor("/dev/fd/2"), 2);
    EXPECT_EQ(held_descriptor("/proc/self/fd/0"), 0);
    EXPECT_EQ(held_descriptor(dir.file("plain").c_str()), NOT_HELD);
    EXPECT_EQ(held_descriptor(dir.file("absent").c_str()), NOT_HELD);
    // Another process's descriptors (only root may look at those of process 1).
    if (geteuid() == 0) {
        EXPECT_EQ(held_descriptor("/proc/1/fd/1"), HELD_BY_OTHER);
    }

    // A file read is written directly only when named through its descriptor.
    int error = 0;
    std::FILE* file = open_for_reading(dir.file("plain").c_str(), &error);
    ASSERT_NE(file, nullptr) << error;
    EXPECT_FALSE(written_directly_into(dir.file("plain").c_str(), file));
    const std::string own_name = "/dev/fd/" + std::to_string(fileno(file));
    EXPECT_TRUE(written_directly_into(own_name.c_str(), file));
    std::fclose(file);
}

}  // namespace
