#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "engine/text_mode_reader.h"
#include "files/file_source.h"
#include "tests/support/test_support.h"

namespace {

// ---- text reader ------------------------------------------------------------

struct ReadResult {
    std::vector<std::string> pieces;
    int error;
};

ReadResult read_pieces(const std::string& path, std::size_t capacity = 80)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    EXPECT_NE(file, nullptr) << path;
    if (file == nullptr) return ReadResult{{}, errno};
    ByteSource source = byte_source_from_file(file);
    std::unique_ptr<TextModeReader> reader(new TextModeReader);
    text_mode_reader_start(reader.get(), &source);
    ReadResult result{{}, 0};
    std::vector<char> line(capacity + 8, '#');
    for (;;) {
        const std::size_t n = text_mode_reader_gets(reader.get(), line.data(), capacity);
        if (n == 0) break;
        EXPECT_LT(n, capacity);
        EXPECT_EQ(line[n], '\0');
        EXPECT_EQ(line[capacity], '#') << "wrote past the capacity";
        result.pieces.emplace_back(line.data(), n);
    }
    result.error = reader->error;
    std::fclose(file);
    return result;
}

ReadResult read_text(const std::string& bytes, std::size_t capacity = 80)
{
    ScratchDir dir;
    write_bytes(dir.file("t"), bytes);
    return read_pieces(dir.file("t"), capacity);
}

using Pieces = std::vector<std::string>;

struct ReaderCase {
    const char* name;
    std::string bytes;
    std::size_t capacity;
    Pieces expected;
};

void PrintTo(const ReaderCase& c, std::ostream* os)
{
    *os << c.name;
}

class TextModeReaderPieces : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(TextModeReaderPieces, ReadsLikeTextMode)
{
    const ReaderCase& c = GetParam();
    const ReadResult result = read_text(c.bytes, c.capacity);
    EXPECT_EQ(result.error, 0);
    EXPECT_EQ(result.pieces, c.expected);
}

const std::string x78(78, 'x');
const std::string x79(79, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, TextModeReaderPieces,
    ::testing::Values(
        ReaderCase{"Empty", "", 80, {}},
        ReaderCase{"CrLfBecomesLf", "ab\r\ncd\r\n", 80, {"ab\n", "cd\n"}},
        ReaderCase{"LoneCrKept", "a\rb\n\r", 80, {"a\rb\n", "\r"}},
        ReaderCase{"CrBeforeCrLf", "\r\r\n", 80, {"\r\n"}},
        ReaderCase{"NoFinalNewline", "ab\ncd", 80, {"ab\n", "cd"}},
        ReaderCase{"CtrlZEndsFileMidLine", std::string("ab\x1A" "cd\n"), 80, {"ab"}},
        ReaderCase{"CtrlZAtStart", std::string("\x1A" "ab\n"), 80, {}},
        ReaderCase{"CtrlZAfterCr", std::string("a\r\x1A\n"), 80, {"a\r"}},
        ReaderCase{"PiecesOfCapacityLessOne", "abcdefg\nhi\n", 4, {"abc", "def", "g\n", "hi\n"}},
        ReaderCase{"Line79ThenNewline", x79 + "\n", 80, {x79, "\n"}},
        ReaderCase{"Line78FitsWithNewline", x78 + "\n", 80, {x78 + "\n"}},
        ReaderCase{"Line78CrLfFits", x78 + "\r\n", 80, {x78 + "\n"}},
        ReaderCase{"Line79CrLf", x79 + "\r\n", 80, {x79, "\n"}},
        ReaderCase{"NulInsideLine", std::string("a\0b\n", 4), 80, {std::string("a\0b\n", 4)}}),
    [](const ::testing::TestParamInfo<ReaderCase>& param) { return std::string(param.param.name); });

TEST(TextModeReader, ReadErrorIsReported)
{
    // Offset 0 of a process's own memory is unmapped: reading it fails with EIO.
    if (access("/proc/self/mem", R_OK) != 0) GTEST_SKIP() << "no /proc/self/mem";
    const ReadResult result = read_pieces("/proc/self/mem");
    EXPECT_TRUE(result.pieces.empty());
    EXPECT_EQ(result.error, EIO);
}

// The internal buffer holds 64 KiB; a CR as its last byte must still see the
// byte that starts the next buffer.
class TextModeReaderBoundary : public ::testing::TestWithParam<char> {};

TEST_P(TextModeReaderBoundary, CrAtBufferEnd)
{
    const char after_cr = GetParam();
    std::string bytes;
    std::string expected;
    for (int k = 0; bytes.size() < TEXT_MODE_READER_BUFFER - 100; ++k) {
        std::string line(static_cast<std::size_t>(k % 97), static_cast<char>('a' + k % 26));
        bytes.append(line).append("\r\n");
        expected.append(line).append("\n");
    }
    const std::string fill(TEXT_MODE_READER_BUFFER - 1 - bytes.size(), 'f');
    bytes.append(fill).append("\r");
    expected.append(fill);
    ASSERT_EQ(bytes.size(), TEXT_MODE_READER_BUFFER);
    bytes.push_back(after_cr);
    if (after_cr != '\n') expected.push_back('\r');
    expected.push_back(after_cr);
    bytes.append("tail\r\nend");
    expected.append("tail\nend");

    const ReadResult result = read_text(bytes);
    EXPECT_EQ(result.error, 0);
    std::string joined;
    for (const std::string& piece : result.pieces) {
        EXPECT_LE(piece.size(), 79u);
        joined.append(piece);
    }
    EXPECT_EQ(joined, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextModeReaderBoundary, ::testing::Values('\n', 'y'));

}  // namespace
