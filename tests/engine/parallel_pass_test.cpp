// The threaded pass against the single-threaded one and the plain walk: the
// same bytes for every input, wherever the pieces happen to end, and the
// same failures.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "byte/letter_table.h"
#include "engine/engine.h"
#include "engine/parallel_pass.h"
#include "engine/word_cache.h"
#include "byte/marked_output.h"
#include "files/block_writer.h"
#include "files/file_source.h"
#include "tests/support/differential.h"
#include "tests/support/random_cases.h"
#include "tests/support/test_support.h"


namespace {

// An automaton loaded with its failure links and an engine built on it.
struct Matcher {
    AutomatonPtr automaton;
    Engine engine;
    ~Matcher()
    {
        if (automaton != nullptr) engine_destroy(&engine);
    }
};

bool make_matcher(Matcher* matcher, const MarkingCase& c)
{
    matcher->automaton = load_pattern_text(c.patterns);
    if (matcher->automaton == nullptr) return false;
    LetterTable letters;
    letter_table_build(&letters, c.smallChars.c_str(), c.largeChars.c_str());
    engine_build(&matcher->engine, matcher->automaton.get(), &letters);
    return true;
}

std::string first_difference(const std::string& a, const std::string& b)
{
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    return std::to_string(a.size()) + " and " + std::to_string(b.size()) + " bytes differ from byte " +
           std::to_string(at);
}

// The plain walk, the single-threaded pass and the threaded pass under each
// of `options` must write the same bytes. Returns the number of marks.
std::size_t expect_same(const MarkingCase& c, std::vector<MarkOptions> options, const std::string& label)
{
    options.insert(options.begin(), one_thread());
    std::size_t marks = 0;
    const std::string difference = differential_check(c, options, &marks);
    if (!difference.empty()) ADD_FAILURE() << label << ": " << difference;
    return marks;
}

std::string without_nul(std::string text)
{
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

TEST(ParallelPass, MatchesBothPassesOnRandomCases)
{
    CaseGenerator generator{std::mt19937(1009)};
    std::size_t marks = 0;
    for (int i = 0; i < 40; ++i) {
        MarkingCase c = generator.make(4000 + static_cast<std::size_t>(generator.below(12000)));
        c.text = without_nul(c.text);
        // Runs longer than a piece, and a NUL ending the text part way.
        if (i % 5 == 0) c.text.insert(c.text.size() / 3, 2500 + generator.below(3000), c.largeChars[0]);
        if (i % 5 == 1) c.text.insert(c.text.size() - 1000 + generator.below(900), 1, '\0');
        const std::size_t piece = 1024 + 64 * static_cast<std::size_t>(generator.below(6));
        marks += expect_same(c,
                             {threads(0, piece, 0),
                              threads(1, piece, 0),
                              threads(2, piece, 2048),
                              threads(3, piece + 64, 0),
                              threads(2, PIECE_BYTES, ALONE_BYTES)},
                             "case " + std::to_string(i));
        if (HasFailure()) return;
    }
    EXPECT_GT(marks, 3000u);
}

TEST(ParallelPass, PieceEndsInEveryAwkwardPlace)
{
    // A piece of 1024 bytes ends at byte 1024 of the text unless that cuts a
    // run; around it stand runs of every length near the deepest walk, a
    // NUL, and a run reaching across several pieces.
    MarkingCase c{basic_patterns(), LOWER, UPPER, ""};
    const std::size_t piece = 1024;
    const std::size_t deep = static_cast<std::size_t>(WALK_LIMIT);
    std::vector<MarkOptions> options{threads(0, piece, 0), threads(2, piece, 0)};
    for (std::size_t run : {std::size_t{1}, std::size_t{4}, std::size_t{250}, deep - 2, deep - 1, deep, deep + 1, 2 * piece + 7}) {
        for (std::size_t end = piece - 3; end <= piece + 3; ++end) {
            for (int nul = 0; nul < 2; ++nul) {
                // Words, then a run of `run` letters ending at `end`, then more words.
                std::string text;
                while (text.size() + run + 1 < end) text += "intent ";
                while (text.size() + run < end) text += ' ';
                text.append(run > end ? end : run, 'n');
                if (nul != 0) text += '\0';
                text += "tent nnntnnn " + std::string(1500, 'n') + " net";
                c.text = text;
                expect_same(c, options, "run of " + std::to_string(run) + " ending at " + std::to_string(end) +
                                            (nul != 0 ? " before a NUL" : ""));
                if (HasFailure()) return;
            }
        }
    }
}

TEST(ParallelPass, MatchesBothPassesOnRealText)
{
    const char* sets[] = {"en-us", "de-1996", "ru"};
    const char* texts[] = {"en", "de", "ru"};
    for (int s = 0; s < 3; ++s) {
        const std::string root(ZARNET_SOURCE_DIR);
        const std::string data = root + "/tests/data/real/";
        MarkingCase c{read_bytes(root + "/patterns/" + sets[s] + ".pat"), read_bytes(data + sets[s] + ".small"),
                      read_bytes(data + sets[s] + ".large"), read_bytes(data + texts[s] + ".txt")};
        ASSERT_FALSE(c.text.empty()) << texts[s];
        const std::string once = c.text;
        while (c.text.size() < 60000) c.text += once;
        EXPECT_GT(expect_same(c, {threads(2, 1024, 0), threads(2, 4096, 1024), threads(1, 1088, 0)}, texts[s]), 1000u);
    }
}

TEST(ParallelPass, PatternSetsTooLargeToShareGiveEachThreadItsOwnMatcher)
{
    // Every word of four of 17 letters as a pattern: more states than the
    // room a matcher sets aside, so the threads cannot share one.
    MarkingCase c{"", "abcdefghijklmnopq", "ABCDEFGHIJKLMNOPQ", ""};
    std::mt19937 random(4099);
    for (int w = 0; w < 17 * 17 * 17 * 17; ++w) {
        std::string pattern;
        for (int k = 0, rest = w; k < 4; ++k, rest /= 17) {
            if (k != 0) pattern += static_cast<char>('1' + random() % 5);
            pattern += static_cast<char>('a' + rest % 17);
        }
        c.patterns += pattern + "\n";
    }
    for (int w = 0; c.text.size() < 30000; ++w) {
        for (std::size_t k = 0, length = 4 + random() % 12; k < length; ++k) c.text += c.smallChars[random() % 17];
        c.text += ' ';
    }
    Matcher matcher;
    ASSERT_TRUE(make_matcher(&matcher, c));
    EXPECT_GT(matcher.automaton->count, static_cast<std::int32_t>(ROW_ROOM_RESERVED));
    EXPECT_FALSE(compiled_share(matcher.engine.compiled));
    EXPECT_GT(expect_same(c, {threads(1, 1024, 0), threads(2, 4096, 1024)}, "large set"), 5000u);
}

TEST(ParallelPass, ThreadsSharingATinyWordCacheGetEachWordsOwnMarks)
{
    // Two sets in each table: the threads keep putting words in and moving
    // them first in the same sets while the others read them. Half of them
    // let the words that miss wait and put them in once walked.
    const std::string root(ZARNET_SOURCE_DIR);
    const std::string data = root + "/tests/data/real/";
    MarkingCase c{read_bytes(root + "/patterns/en-us.pat"), read_bytes(data + "en-us.small"),
                  read_bytes(data + "en-us.large"), read_bytes(data + "en.txt")};
    Matcher matcher;
    ASSERT_TRUE(make_matcher(&matcher, c));
    ASSERT_TRUE(compiled_share(matcher.engine.compiled));
    // Distinct words of 4 .. CACHED_RUN_MAX letters, word w at 64 * w of
    // one block with room for a whole key after it, and their marks.
    constexpr std::size_t WORDS = 300;
    std::vector<unsigned char> block(64 * (WORDS + 1), 0);
    std::vector<std::int64_t> lengths;
    std::vector<std::uint64_t> expected;
    std::vector<std::string> seen;
    for (std::size_t i = 0, j = 0; i < c.text.size() && lengths.size() < WORDS; i = j + 1) {
        for (j = i; j < c.text.size() && matcher.engine.marker.letter[static_cast<unsigned char>(c.text[j])];) ++j;
        const std::string word = c.text.substr(i, j - i);
        if (word.size() < 4 || word.size() > static_cast<std::size_t>(CACHED_RUN_MAX)) continue;
        if (std::find(seen.begin(), seen.end(), word) != seen.end()) continue;
        seen.push_back(word);
        unsigned char* at = &block[64 * lengths.size()];
        std::memcpy(at, word.data(), word.size());
        std::uint64_t marks[RUN_MARK_WORDS];
        engine_run_marks(&matcher.engine, at, static_cast<std::int64_t>(word.size()), marks);
        expected.push_back(marks[0]);
        lengths.push_back(static_cast<std::int64_t>(word.size()));
    }
    ASSERT_EQ(lengths.size(), WORDS);
    ASSERT_GT(std::count_if(expected.begin(), expected.end(), [](std::uint64_t m) { return m != 0; }), 150);

    WordCache words;
    word_cache_create(&words, 1);
    word_cache_share(&words);
    std::vector<int> wrong(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 random(static_cast<unsigned>(7 + t));
            MarkCache own{&words, &matcher.engine.marker, nullptr};
            std::vector<std::uint64_t> marks(WORDS + MARK_WORDS_PAST, 0);
            std::vector<char> looked(WORDS, 0);
            WaitingWalks waiting{block.data(), marks.data(), 0, {}, {}};
            if (t % 2 == 1) own.waiting = &waiting;
            for (int n = 0; n < 150000; ++n) {
                const std::size_t w = random() % WORDS;
                const unsigned char* word = &block[64 * w];
                // The marks of the word's last lookup, whether given or added once walked.
                mark_cache_walk_waiting(&own);
                if (looked[w] != 0 && marks[w] != expected[w]) ++wrong[static_cast<std::size_t>(t)];
                looked[w] = 1;
                marks[w] = lengths[w] <= SHORT_RUN_MAX
                               ? mark_cache_short_marks_shared(&own, words.short_slots, mark_cache_short_shift(&own),
                                                               word, lengths[w])
                               : mark_cache_marks_shared(&own, word, lengths[w]);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(wrong[static_cast<std::size_t>(t)], 0) << "thread " << t;
    word_cache_destroy(&words);
}

// A stream that gives `text` and then fails with EIO, or takes `room` bytes
// and then fails with ENOSPC.
struct FailingStream {
    std::string text;
    std::size_t position;
    std::size_t room;
};

ssize_t read_then_fail(void* cookie, char* into, std::size_t count)
{
    FailingStream* stream = static_cast<FailingStream*>(cookie);
    if (stream->position == stream->text.size()) {
        errno = EIO;
        return -1;
    }
    const std::size_t n = std::min(count, stream->text.size() - stream->position);
    std::memcpy(into, stream->text.data() + stream->position, n);
    stream->position += n;
    return static_cast<ssize_t>(n);
}

ssize_t write_then_fail(void* cookie, const char*, std::size_t count)
{
    FailingStream* stream = static_cast<FailingStream*>(cookie);
    if (stream->position + count > stream->room) {
        errno = ENOSPC;
        return -1;
    }
    stream->position += count;
    return static_cast<ssize_t>(count);
}

TEST(ParallelPass, ReadAndWriteErrorsEndTheRun)
{
    MarkingCase c{basic_patterns(), LOWER, UPPER, ""};
    Matcher matcher;
    ASSERT_TRUE(make_matcher(&matcher, c));
    std::string text;
    while (text.size() < 40 * 1024) text += "Winter is near. ";
    const MarkOptions options = threads(2, 1024, 2048);

    FailingStream failing_in{text, 0, 0};
    std::FILE* in = fopencookie(&failing_in, "rb", {read_then_fail, nullptr, nullptr, nullptr});
    ASSERT_NE(in, nullptr);
    std::FILE* null_out = std::fopen("/dev/null", "wb");
    ByteSource source = byte_source_from_file(in);
    int error = 0;
    EXPECT_EQ(mark_to_file(&matcher.engine, &source, null_out, &error, options), StreamEnd::read_failed);
    EXPECT_EQ(error, EIO);
    EXPECT_EQ(failing_in.position, text.size());
    std::fclose(in);
    std::fclose(null_out);

    // The output is written a WRITE_STEP at a time: the second write fails.
    while (text.size() < 8 * WRITE_STEP) text += "Winter is near. ";
    FailingStream failing_out{"", 0, WRITE_STEP + 20000};
    std::FILE* out = fopencookie(&failing_out, "wb", {nullptr, write_then_fail, nullptr, nullptr});
    ASSERT_NE(out, nullptr);
    std::setvbuf(out, nullptr, _IONBF, 0);
    source = byte_source_from_memory(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    error = 0;
    EXPECT_EQ(mark_to_file(&matcher.engine, &source, out, &error, options), StreamEnd::write_failed);
    EXPECT_EQ(error, ENOSPC);
    EXPECT_GE(failing_out.position, WRITE_STEP);
    EXPECT_LE(failing_out.position, WRITE_STEP + 20000);
    // The reading stopped soon after the failure.
    EXPECT_LT(source.position, 4 * WRITE_STEP);
    std::fclose(out);
}

ssize_t read_in_dribbles(void* cookie, char* into, std::size_t count)
{
    FailingStream* stream = static_cast<FailingStream*>(cookie);
    const std::size_t n = std::min({count, stream->room, stream->text.size() - stream->position});
    std::memcpy(into, stream->text.data() + stream->position, n);
    stream->position += n;
    return static_cast<ssize_t>(n);
}

TEST(ParallelPass, UnbufferedFilesGiveTheSameBytes)
{
    // As the program runs it: both files without the C library's buffer,
    // the text arriving a few hundred bytes a read, pieces written while
    // the next is read.
    MarkingCase c{basic_patterns(), LOWER, UPPER, ""};
    Matcher matcher;
    ASSERT_TRUE(make_matcher(&matcher, c));
    std::string text;
    for (int i = 0; text.size() < 50 * 1024; ++i) text += i % 7 == 0 ? std::string(1100, 'n') + " " : "intent tent. ";
    const std::string single = mark_engine(&matcher.engine, text, one_thread()).bytes;
    for (unsigned workers : {0u, 1u, 3u}) {
        FailingStream dribble{text, 0, 333};
        std::FILE* in = fopencookie(&dribble, "rb", {read_in_dribbles, nullptr, nullptr, nullptr});
        std::FILE* out = std::tmpfile();
        ASSERT_TRUE(in != nullptr && out != nullptr);
        std::setvbuf(in, nullptr, _IONBF, 0);
        std::setvbuf(out, nullptr, _IONBF, 0);
        ByteSource source = byte_source_from_file(in);
        int error = 0;
        EXPECT_EQ(mark_to_file(&matcher.engine, &source, out, &error, threads(workers, 1024, 2048)), StreamEnd::complete);
        std::string written(static_cast<std::size_t>(std::ftell(out)), '\0');
        std::rewind(out);
        EXPECT_EQ(std::fread(written.data(), 1, written.size(), out), written.size());
        EXPECT_EQ(written, single) << workers << " workers: " << first_difference(single, written);
        std::fclose(in);
        std::fclose(out);
    }
    EXPECT_GT(std::count(single.begin(), single.end(), '\xAC'), 200);
}

std::string read_back(std::FILE* file)
{
    std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
    return bytes;
}

TEST(ParallelPass, FilesBeyondTheWritebackStepGetEveryByte)
{
    // Past WRITEBACK_BYTES the disk is asked to take what was written while
    // more is written: both passes must still write the same bytes as into memory.
    MarkingCase c{basic_patterns(), LOWER, UPPER, ""};
    Matcher matcher;
    ASSERT_TRUE(make_matcher(&matcher, c));
    std::string text;
    for (int i = 0; text.size() < 2 * WRITEBACK_BYTES + 12345; ++i) text += i % 9 == 0 ? "intentnet, " : "tent intent. ";
    const std::string in_memory = mark_engine(&matcher.engine, text, one_thread()).bytes;
    ASSERT_GT(in_memory.size(), 2 * WRITEBACK_BYTES);
    for (unsigned workers : {0u, 1u, 2u}) {
        std::FILE* out = std::tmpfile();
        ASSERT_NE(out, nullptr);
        std::setvbuf(out, nullptr, _IONBF, 0);
        ByteSource source = byte_source_from_memory(reinterpret_cast<const unsigned char*>(text.data()), text.size());
        int error = 0;
        const StreamEnd end = mark_to_file(&matcher.engine, &source, out, &error,
                                           workers == 0 ? one_thread() : threads(workers, PIECE_BYTES, ALONE_BYTES));
        EXPECT_EQ(end, StreamEnd::complete);
        const std::string written = read_back(out);
        EXPECT_TRUE(written == in_memory) << workers << " workers: " << first_difference(in_memory, written);
        std::fclose(out);
    }
}

ssize_t record_write_end(void* cookie, const char*, std::size_t count)
{
    std::vector<std::size_t>* ends = static_cast<std::vector<std::size_t>*>(cookie);
    ends->push_back((ends->empty() ? 0 : ends->back()) + count);
    return static_cast<ssize_t>(count);
}

TEST(ParallelPass, WritesEndOnWholeStepsOfTheFile)
{
    // Every write but the last ends where a WRITE_STEP of the file ends, so
    // that the system can keep the file in large pages.
    MarkingCase c{basic_patterns(), LOWER, UPPER, ""};
    Matcher matcher;
    ASSERT_TRUE(make_matcher(&matcher, c));
    std::string text;
    for (int i = 0; text.size() < 12 * WRITE_STEP + 777; ++i) text += i % 7 == 0 ? "intentnet, " : "tent intent. ";
    const std::size_t marked = mark_engine(&matcher.engine, text, one_thread()).bytes.size();
    for (unsigned workers : {0u, 2u}) {
        std::vector<std::size_t> ends;
        std::FILE* out = fopencookie(&ends, "wb", {nullptr, record_write_end, nullptr, nullptr});
        std::setvbuf(out, nullptr, _IONBF, 0);
        ByteSource source = byte_source_from_memory(reinterpret_cast<const unsigned char*>(text.data()), text.size());
        int error = 0;
        EXPECT_EQ(mark_to_file(&matcher.engine, &source, out, &error,
                               workers == 0 ? one_thread() : threads(workers, PIECE_BYTES / 4, 0)),
                  StreamEnd::complete);
        std::fclose(out);
        ASSERT_GT(ends.size(), 2u);
        EXPECT_EQ(ends.back(), marked);
        for (std::size_t k = 0; k + 1 < ends.size(); ++k) EXPECT_EQ(ends[k] % WRITE_STEP, 0u) << workers << ": " << k;
    }
}

}  // namespace
