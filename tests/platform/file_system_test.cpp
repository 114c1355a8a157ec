// The calls on files that differ between systems, on this one.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "platform/temporary_name.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;

PathStatus status_of(const std::string& path)
{
    PathStatus status{PathKind::other, -1, 0, 0, 0, 0};
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

FilePlace located(const std::string& path)
{
    FilePlace place{-1, "", ""};
    int error = 0;
    EXPECT_TRUE(locate_file(path.c_str(), &place, &error)) << path << ": " << error;
    return place;
}

TEST(FileSystem, TemporaryFileTakesTheModeOfTheFileItReplaces)
{
    ScratchDir dir;
    const std::string target = dir.file("out");
    write_bytes(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0604), 0);
    const PathStatus existing = status_of(target);

    FilePlace place = located(target);
    FilePlace temporary{-1, "", ""};
    int error = 0;
    std::FILE* file = create_temporary(place, &temporary, &error);
    ASSERT_NE(file, nullptr) << error;
    EXPECT_EQ(fs::path(place_path(temporary)).parent_path(), fs::path(dir.path));
    EXPECT_EQ(temporary.name.rfind(".out.zarnet-", 0), 0u) << temporary.name;
    EXPECT_EQ(status_of(place_path(temporary)).permissions, 0600u);
    bool owner_kept = false;
    ASSERT_TRUE(adopt_attributes(file, &existing, &owner_kept, &error));
    EXPECT_TRUE(owner_kept);
    std::fputs("new", file);
    ASSERT_TRUE(finish_stream(file, false, &error));
    EXPECT_EQ(status_of(place_path(temporary)).permissions, 0604u);

    ASSERT_TRUE(rename_temporary(&temporary, place, &error)) << error;
    EXPECT_EQ(read_bytes(target), "new");
    EXPECT_FALSE(file_exists(place_path(temporary)));
    EXPECT_FALSE(rename_temporary(&temporary, place, &error));
    EXPECT_EQ(error, ENOENT);
    release_place(&temporary);
    release_place(&place);

    // In a folder that is gone nothing can be found.
    EXPECT_FALSE(locate_file(dir.file("gone/out").c_str(), &place, &error));
    EXPECT_EQ(error, ENOENT);
}

TEST(FileSystem, LocatingFollowsLinksToWhereTheyEnd)
{
    ScratchDir dir;
    fs::create_directories(dir.file("a/b"));
    fs::create_symlink("b/../b/c.txt", dir.file("a/rel"));     // relative to the link's own folder
    fs::create_symlink(dir.file("a/rel"), dir.file("abs"));    // to another link
    fs::create_symlink("loop2", dir.file("loop1"));
    fs::create_symlink("loop1", dir.file("loop2"));
    fs::create_symlink("a/", dir.file("to-folder"));

    // A dangling chain ends at the file it would create.
    FilePlace place = located(dir.file("abs"));
    EXPECT_EQ(place.name, "c.txt");
    EXPECT_EQ(status_of(place_path(place)).kind, PathKind::missing);
    PathStatus status;
    int error = 0;
    ASSERT_TRUE(place_status(place, &status, &error));
    EXPECT_EQ(status.kind, PathKind::missing);
    write_bytes(dir.file("a/b/c.txt"), "x");
    ASSERT_TRUE(place_status(place, &status, &error));
    EXPECT_EQ(status.kind, PathKind::regular);
    EXPECT_EQ(status.links, 1u);
    EXPECT_TRUE(place_is_file(place, dir.file("a/b/c.txt").c_str()));
    EXPECT_FALSE(place_is_file(place, dir.file("abs/../x").c_str()));
    release_place(&place);

    EXPECT_FALSE(locate_file(dir.file("loop1").c_str(), &place, &error));
    EXPECT_EQ(error, ELOOP);
    for (const std::string& folder : {dir.file("to-folder"), dir.file("a/"), dir.file("a/..")}) {
        EXPECT_FALSE(locate_file(folder.c_str(), &place, &error)) << folder;
        EXPECT_EQ(error, EISDIR) << folder;
    }
}

TEST(FileSystem, TemporaryNamesShowTheTargetWithinTheNameLimit)
{
    EXPECT_EQ(temporary_name("out.txt", "AbCdEf", 255), ".out.txt.zarnet-AbCdEf");
    // Cut to the limit, and never inside a UTF-8 sequence ("\xC3\xA9" is one letter).
    const std::string long_name = std::string(240, 'x').append("\xC3\xA9\xC3\xA9.txt");
    const std::string cut = temporary_name(long_name, "AbCdEf", 255);
    EXPECT_EQ(cut.size(), 255u);
    EXPECT_EQ(temporary_name(std::string(240, 'x').append("y\xC3\xA9"), "AbCdEf", 257),
              std::string(".").append(240, 'x').append("y.zarnet-AbCdEf"));
    EXPECT_EQ(temporary_name("x", "AbCdEf", 10), "");

    // A target whose own name is as long as names get still has a temporary file.
    ScratchDir dir;
    const std::string longest = dir.file(std::string(255, 'n'));
    FilePlace place = located(longest);
    FilePlace temporary{-1, "", ""};
    int error = 0;
    std::FILE* file = create_temporary(place, &temporary, &error);
    ASSERT_NE(file, nullptr) << error;
    EXPECT_EQ(temporary.name.size(), 255u);
    ASSERT_TRUE(finish_stream(file, true, &error));
    remove_temporary(&temporary);
    EXPECT_TRUE(fs::is_empty(dir.path));
    release_place(&temporary);
    release_place(&place);
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
