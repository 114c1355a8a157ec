#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "common/alphabet.h"
#include "common/letter_table.h"
#include "common/memory.h"
#include "common/text_mode_reader.h"
#include "driver/messages.h"
#include "tests/test_support.h"

namespace {

// ---- allocation -------------------------------------------------------------

// Reachable from a global, so that a leak checker run at exit in the child
// does not count the block that the failed resize leaves behind.
void* volatile held_block = nullptr;
std::vector<char> held_vector;
std::string held_string;

TEST(MemoryDeathTest, FailedAllocationReportsRequestedSizeAndExits1)
{
    const std::size_t huge = std::size_t{1} << 62;
    EXPECT_EXIT(must_alloc(huge), ::testing::ExitedWithCode(1), "can't allocate 4611686018427387904 bytes\n$");
}

TEST(MemoryDeathTest, SizeIsPrintedAsSignedDecimal)
{
    EXPECT_EXIT(must_alloc(SIZE_MAX), ::testing::ExitedWithCode(1), "can't allocate -1 bytes\n$");
}

TEST(MemoryDeathTest, FailedResizeReportsRequestedSizeAndExits1)
{
    EXPECT_EXIT(
        {
            held_block = must_alloc(16);
            held_block = must_realloc(held_block, std::size_t{3} << 61);
        },
        ::testing::ExitedWithCode(1), "can't allocate 6917529027641081856 bytes\n$");
}

TEST(MemoryDeathTest, AllocationsOfTheLibraryEndTheSameWay)
{
    const std::size_t huge = std::size_t{1} << 62;
    EXPECT_EXIT(std::vector<char>(huge).swap(held_vector), ::testing::ExitedWithCode(1),
                "can't allocate 4611686018427387904 bytes\n$");
    EXPECT_EXIT(held_string.reserve(huge / 2), ::testing::ExitedWithCode(1),
                "can't allocate 2305843009213693953 bytes\n$");
}

TEST(Memory, ZeroSizedRequestGivesABlockAndResizeKeepsContents)
{
    char* block = static_cast<char*>(must_alloc(0));
    ASSERT_NE(block, nullptr);
    block = static_cast<char*>(must_realloc(block, 4));
    std::memcpy(block, "abcd", 4);
    block = static_cast<char*>(must_realloc(block, 1 << 20));
    block[(1 << 20) - 1] = 'z';
    EXPECT_EQ(std::string(block, 4), "abcd");
    mem_release(block);
}

TEST(Memory, LargeBlocksAreWholeAndGrowWithTheirContents)
{
    // Below and above the size of a large page: every byte writable, and a
    // block grown by must_realloc keeps what it held.
    for (std::size_t size : {std::size_t{4096}, std::size_t{3} << 20}) {
        unsigned char* block = static_cast<unsigned char*>(must_alloc_large(size));
        for (std::size_t i = 0; i < size; i += 4093) block[i] = static_cast<unsigned char>(i % 251);
        block[size - 1] = 0x5A;
        block = static_cast<unsigned char*>(must_realloc(block, 2 * size));
        block[2 * size - 1] = 0xA5;
        for (std::size_t i = 0; i < size; i += 4093) ASSERT_EQ(block[i], static_cast<unsigned char>(i % 251)) << i;
        EXPECT_EQ(block[size - 1], 0x5A);
        mem_release(block);
    }
}

TEST(Memory, GrowingArraysKeepTheirEntriesAndResizeOnlyAtPowersOfTwo)
{
    int* entries = nullptr;
    for (std::size_t count = 0; count < 100; ++count) {
        if ((count & (count - 1)) != 0) mem_fail_allocation_after(0);  // a resize here would end the test
        entries = static_cast<int*>(grow_for_append(entries, count, sizeof(int)));
        mem_fail_allocation_after(-1);
        entries[count] = static_cast<int>(count);
    }
    for (int k = 0; k < 100; ++k) EXPECT_EQ(entries[k], k);
    mem_release(entries);

    std::size_t room = 3;
    char* bytes = static_cast<char*>(must_alloc(room));
    bytes = static_cast<char*>(grow_to_fit(bytes, &room, 3));
    EXPECT_EQ(room, 3u);
    bytes = static_cast<char*>(grow_to_fit(bytes, &room, 13));
    EXPECT_EQ(room, 24u);
    bytes[23] = 'z';
    mem_release(bytes);
}

TEST(Memory, CopyStringMakesAnIndependentCopy)
{
    for (const char* text : {"", "x", "hyphen\xAC\xFF text"}) {
        char* copy = copy_string(text);
        EXPECT_NE(copy, text);
        EXPECT_STREQ(copy, text);
        mem_release(copy);
    }
}

// ---- alphabets --------------------------------------------------------------

TEST(Alphabet, LettersAreBytesOfEitherAlphabet)
{
    EXPECT_TRUE(is_letter('a', "abc", "ABC"));
    EXPECT_TRUE(is_letter('C', "abc", "ABC"));
    EXPECT_FALSE(is_letter('d', "abc", "ABC"));
    EXPECT_FALSE(is_letter('-', "abc", "ABC"));
    EXPECT_FALSE(is_letter(0, "abc", "ABC"));
    EXPECT_TRUE(is_letter(0xE4, "a\xE4", "A\xC4"));
    EXPECT_TRUE(is_letter(0xC4, "a\xE4", "A\xC4"));
    EXPECT_FALSE(is_letter(0xC5, "a\xE4", "A\xC4"));
    EXPECT_FALSE(is_letter('a', "", ""));
}

struct FoldCase {
    const char* small;
    const char* large;
    unsigned char byte;
    unsigned char folded;
};

void PrintTo(const FoldCase& c, std::ostream* os)
{
    *os << "byte " << int{c.byte} << " in \"" << c.small << "\" / \"" << c.large << "\"";
}

class FoldLetter : public ::testing::TestWithParam<FoldCase> {};

TEST_P(FoldLetter, FoldsByPosition)
{
    const FoldCase& c = GetParam();
    EXPECT_EQ(fold_letter(c.byte, c.small, c.large), c.folded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FoldLetter,
    ::testing::Values(FoldCase{"abc", "ABC", 'B', 'b'},          // upper case folds by position
                      FoldCase{"abc", "ABC", 'b', 'b'},          // lower case stays
                      FoldCase{"abc", "ABC", '-', '-'},          // not a letter stays
                      FoldCase{"abc", "CBA", 'A', 'c'},          // position, not the letter's name
                      FoldCase{"ab", "ABCD", 'C', 'C'},          // beyond the lower alphabet
                      FoldCase{"ab", "ABCD", 'D', 'D'},          //   likewise, last byte
                      FoldCase{"ab", "ABCD", 'B', 'b'},          //   within it still folds
                      FoldCase{"abc", "bca", 'a', 'a'},          // in both: taken unchanged
                      FoldCase{"abc", "bca", 'b', 'b'},          //   likewise
                      FoldCase{"a\xE4\xF6", "A\xC4\xD6", 0xD6, 0xF6},  // high bytes
                      FoldCase{"", "ABC", 'A', 'A'}));

TEST(LetterTable, AgreesWithTheAlphabetRulesForEveryByte)
{
    // Alphabets with repeats, high bytes, a byte in both, and upper-case
    // alphabets longer or shorter than the lower-case one.
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string small;
        std::string large;
        for (std::size_t n = random() % 12; n > 0; --n) small.push_back(static_cast<char>(1 + random() % 255));
        for (std::size_t n = random() % 12; n > 0; --n) large.push_back(static_cast<char>(1 + random() % 255));
        if (!small.empty() && round % 3 == 0) large.push_back(small[0]);
        LetterTable table;
        letter_table_build(&table, small.c_str(), large.c_str());
        for (int b = 0; b < 256; ++b) {
            const unsigned char byte = static_cast<unsigned char>(b);
            ASSERT_EQ(table.letter[b], is_letter(byte, small.c_str(), large.c_str())) << round << " " << b;
            ASSERT_EQ(table.fold[b], fold_letter(byte, small.c_str(), large.c_str())) << round << " " << b;
        }
    }
}

// ---- text reader ------------------------------------------------------------

struct ReadResult {
    std::vector<std::string> pieces;
    int error;
};

struct ReaderCloser {
    void operator()(TextModeReader* reader) const
    {
        text_mode_reader_close(reader);
        delete reader;
    }
};
using ReaderPtr = std::unique_ptr<TextModeReader, ReaderCloser>;

ReaderPtr open_reader(const std::string& path)
{
    ReaderPtr reader(new TextModeReader);
    EXPECT_TRUE(text_mode_reader_open(reader.get(), path.c_str())) << path;
    return reader;
}

ReadResult read_pieces(const std::string& path, std::size_t capacity = 80)
{
    ReaderPtr reader = open_reader(path);
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

TEST(TextModeReader, MissingFileFailsToOpenWithErrno)
{
    ScratchDir dir;
    TextModeReader* reader = new TextModeReader;
    EXPECT_FALSE(text_mode_reader_open(reader, dir.file("absent").c_str()));
    EXPECT_EQ(reader->error, ENOENT);
    text_mode_reader_close(reader);
    delete reader;
}

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

// ---- names in messages --------------------------------------------------------

TEST(PrintableName, ControlBytesAreEscapedAndCharactersPass)
{
    const struct {
        const char* name;
        const char* shown;
    } cases[] = {
        {"plain-name.txt", "plain-name.txt"},
        {"a\nb\tc\rd\x1b[2Je\x7f", "a\\nb\\tc\\rd\\x1b[2Je\\x7f"},
        // C1 controls alone (0x9B opens a sequence in 8-bit terminals) and in UTF-8.
        {"a\x80\x9b" "b\x9f", "a\\x80\\x9bb\\x9f"},
        {"a\xc2\x9b" "b\xc2\x85", "a\\xc2\\x9bb\\xc2\\x85"},
        // Characters in UTF-8 from U+00A0 on, and other high bytes alone, pass.
        {"\xc2\xa0\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\xc2\xa0\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"},
        {"K\xf6nig\xa0\xff", "K\xf6nig\xa0\xff"},
        // A sequence cut short or overlong is no character: its bytes stand alone.
        {"\xe2\x82", "\xe2\\x82"},
        {"\xe0\x80\xaf", "\xe0\\x80\xaf"},
    };
    for (const auto& c : cases) EXPECT_EQ(printable_name(c.name), c.shown) << c.name;
}

}  // namespace
