// The streamed pass on one thread against the plain automaton walk: both
// must give the same bytes on every input.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "byte/letter_table.h"
#include "byte/marked_output.h"
#include "engine/copy_slack.h"
#include "engine/engine.h"
#include "engine/word_cache.h"
#include "files/file_source.h"
#include "tests/support/differential.h"
#include "tests/support/random_cases.h"
#include "tests/support/test_support.h"


namespace {

// Checks the pass on one thread, reading `chunk` bytes at a time, against
// the plain walk, and returns the number of marks.
std::size_t expect_same(const MarkingCase& c, std::size_t chunk, const std::string& label)
{
    std::size_t marks = 0;
    const std::string difference = differential_check(c, {one_thread(chunk)}, &marks);
    if (!difference.empty()) ADD_FAILURE() << label << ": " << difference;
    return marks;
}

TEST(StreamPass, MatchesPlainWalkOnRandomCases)
{
    CaseGenerator generator{std::mt19937(20261209)};
    std::size_t marks = 0;
    for (int i = 0; i < 300; ++i) {
        const MarkingCase c = generator.make(static_cast<std::size_t>(generator.below(3000)));
        marks += expect_same(c, TEXT_CHUNK, "case " + std::to_string(i));
        if (HasFailure()) return;
    }
    // The cases must exercise breaking, not only copying.
    EXPECT_GT(marks, 3000u);
}

TEST(StreamPass, MatchesPlainWalkAcrossBlockBoundaries)
{
    // Small blocks put runs, long runs and NUL bytes across block ends.
    CaseGenerator generator{std::mt19937(7)};
    std::size_t marks = 0;
    for (int i = 0; i < 40; ++i) {
        MarkingCase c = generator.make(20000 + static_cast<std::size_t>(generator.below(20000)));
        if (i % 4 == 0) c.text.append(5000, c.largeChars[0]);  // a run longer than a block
        if (i % 4 == 1) c.text.insert(c.text.size() / 2, 3000, c.smallChars[0]);
        marks += expect_same(c, 1024 + 64 * static_cast<std::size_t>(generator.below(8)), "case " + std::to_string(i));
        if (HasFailure()) return;
    }
    EXPECT_GT(marks, 3000u);
}

TEST(StreamPass, EdgeTexts)
{
    MarkingCase c{basic_patterns(), LOWER, UPPER, ""};
    expect_same(c, TEXT_CHUNK, "empty");
    c.text = std::string("Winter\0is near", 14);
    expect_same(c, TEXT_CHUNK, "NUL");
    c.text = "Winter";
    expect_same(c, TEXT_CHUNK, "a text that ends inside a run");
    c.text = std::string(1500, 'n') + "t" + std::string(1500, 'n');
    expect_same(c, 1024, "one run longer than a block");
}

TEST(StreamPass, MatchesPlainWalkWhenWordsOutnumberTheCache)
{
    // Four rounds of 12,000 distinct words in shuffled order, as one block:
    // the cache is sized for the block (16K slots), so words meet in every
    // slot of their set, move to its front and give way.
    std::mt19937 random(41);
    const std::string letters = LOWER;
    std::vector<std::string> words;
    for (int i = 0; i < 12000; ++i) {
        std::string word;
        const int length = 4 + static_cast<int>(random() % 9);
        for (int k = 0; k < length; ++k) word += letters[random() % letters.size()];
        words.push_back(word);
    }
    MarkingCase c{read_bytes(std::string(ZARNET_SOURCE_DIR) + "/patterns/en-us.pat"), LOWER, UPPER, ""};
    for (int round = 0; round < 4; ++round) {
        std::shuffle(words.begin(), words.end(), random);
        for (const std::string& word : words) c.text += word + (random() % 8 == 0 ? ", " : " ");
    }
    EXPECT_GT(expect_same(c, c.text.size() + 64, "one block"), 10000u);
}

TEST(StreamPass, MatchesPlainWalkWithRunsStartingAtEveryPlaceOfAMaskWord)
{
    // Words of each length start at every one of the 64 places of a word of
    // the letter mask: their marks land in one word or spill into the next
    // (or, for long runs, several), whichever path looks them up.
    MarkingCase c{read_bytes(std::string(ZARNET_SOURCE_DIR) + "/patterns/en-us.pat"), LOWER, UPPER, ""};
    const std::string source = "RepresentationalInterdependenciesHyphenationAlgorithmsConstitutional";
    for (std::size_t length : {4u, 5u, 7u, 8u, 9u, 15u, 16u, 24u, 25u, 33u, 63u, 64u, 65u, 130u, 300u}) {
        std::string word;
        while (word.size() < length) word += source.substr(word.size() % source.size(), 1);
        c.text.clear();
        // Steps of length + 1 and length + 2 in turn: an odd step every two
        // words, so 128 words start at every place modulo 64.
        for (int i = 0; i < 128; ++i) c.text += word + (i % 2 == 0 ? " " : ", ");
        for (std::size_t chunk : {TEXT_CHUNK, std::size_t{1024}}) {
            expect_same(c, chunk, "words of " + std::to_string(length) + " letters, chunk " + std::to_string(chunk));
        }
    }
}

struct RealSet {
    const char* text;
    const char* patterns;
    const char* alphabets;
};

TEST(StreamPass, MatchesPlainWalkOnRealPatternSets)
{
    const RealSet sets[] = {{"en", "en-us", "en-us"}, {"de", "de-1996", "de-1996"}, {"ru", "ru", "ru"}};
    for (const RealSet& set : sets) {
        const std::string root(ZARNET_SOURCE_DIR);
        const std::string data = root + "/tests/data/real/";
        MarkingCase c{read_bytes(root + "/patterns/" + set.patterns + ".pat"), read_bytes(data + set.alphabets + ".small"),
               read_bytes(data + set.alphabets + ".large"), read_bytes(data + set.text + ".txt")};
        ASSERT_FALSE(c.patterns.empty() || c.text.empty() || c.smallChars.empty()) << set.text;
        // Upper-case copies and runs glued together give longer and rarer words.
        std::string text = c.text;
        for (char& ch : text) {
            const std::size_t k = c.smallChars.find(ch);
            if (k != std::string::npos && k < c.largeChars.size()) ch = c.largeChars[k];
        }
        c.text += text;
        for (char ch : std::string(c.text)) {
            if (ch != ' ') c.text += ch;
        }
        EXPECT_GT(expect_same(c, TEXT_CHUNK, set.text), 1000u);
        expect_same(c, 4096, std::string(set.text) + " in small blocks");
    }
}

// A set of patterns beyond what packed 32-bit table entries could number
// (more than 2^16 rows and 2^16 outputs): the German patterns with a copy of
// each behind an extra first letter. The text has each word once as it is
// and once behind that letter.
TEST(StreamPass, MatchesPlainWalkOnAPatternSetAboveThirtyTwoBits)
{
    const std::string root(ZARNET_SOURCE_DIR);
    const std::string data = root + "/tests/data/real/";
    const std::string german = read_bytes(root + "/patterns/de-1996.pat");
    ASSERT_FALSE(german.empty());
    std::string patterns;
    std::string copies;
    std::size_t start = 0;
    while (start < german.size()) {
        std::size_t end = german.find('\n', start);
        if (end == std::string::npos) end = german.size();
        const std::string line = german.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '%') continue;
        patterns += line + "\n";
        copies += (line[0] == '.' ? std::string(".\xFC").append(line.substr(1)) : "\xFC" + line) + "\n";
    }
    MarkingCase c{patterns + copies, read_bytes(data + "de-1996.small"), read_bytes(data + "de-1996.large"), ""};
    const std::string text = read_bytes(data + "de.txt");
    ASSERT_FALSE(text.empty() || c.smallChars.empty());
    std::string prefixed;
    bool in_word = false;
    for (char ch : text) {
        const bool letter = c.smallChars.find(ch) != std::string::npos || c.largeChars.find(ch) != std::string::npos;
        if (letter && !in_word) prefixed += '\xFC';
        in_word = letter;
        prefixed += ch;
    }
    c.text = text + prefixed;

    const AutomatonPtr automaton = load_pattern_text(c.patterns);
    ASSERT_NE(automaton, nullptr);
    std::size_t rows = 0;
    std::size_t outputs = 0;
    for (std::int32_t s = 0; s < automaton->count; ++s) {
        const AutomatonState& state = automaton->states[s];
        if (s == 0 || state.transition_count > 0) ++rows;
        if (state.output != nullptr && state.output[0] != '\0') ++outputs;
    }
    ASSERT_GT(std::bit_width(rows) + std::bit_width(outputs + 1), 32);
    // The words behind the extra letter are marked too (the text alone has 951 marks).
    EXPECT_GT(expect_same(c, TEXT_CHUNK, "doubled German"), 1800u);
}

// Pattern files of hostile shapes, with texts of words made of their letters
// (long runs among them).
TEST(StreamPass, MatchesPlainWalkOnHostilePatternShapes)
{
    std::mt19937 random(77);
    std::string wide_small;
    std::string wide_large;
    for (int b = 0x21; b < 0x100; ++b) {
        if (b >= '0' && b <= '9') continue;
        (b < 0x90 ? wide_small : wide_large).push_back(static_cast<char>(b));
    }
    wide_large.resize(wide_small.size() / 2);
    for (const HostileShape shape : HOSTILE_SHAPES) {
        const bool wide = shape == HostileShape::every_byte;
        MarkingCase c{hostile_pattern_file(shape, 300, &random), wide ? wide_small : "abc.",
                      wide ? wide_large : "ABC", ""};
        const std::string letters = c.smallChars + c.largeChars;
        while (c.text.size() < 60000) {
            const std::size_t length = 1 + random() % (random() % 8 == 0 ? 300 : 12);
            for (std::size_t k = 0; k < length; ++k) {
                c.text += shape == HostileShape::runs_of_one_letter && random() % 4 != 0
                              ? 'a'
                              : letters[random() % letters.size()];
            }
            c.text += ' ';
        }
        expect_same(c, TEXT_CHUNK, hostile_shape_name(shape));
        expect_same(c, 1024, std::string(hostile_shape_name(shape)) + " in small blocks");
        if (HasFailure()) return;
    }
}

// Patterns whose outputs reach back as far as a window holds, and one gap
// further: the first set is walked with windows, the second without.
TEST(StreamPass, MatchesPlainWalkForPatternsReachingToTheWindowsEdgeAndPast)
{
    std::mt19937 random(5);
    for (const std::size_t longest : {OUTPUT_WINDOW - 1, OUTPUT_WINDOW}) {
        MarkingCase c{"", "abc", "ABC", ""};
        std::vector<std::string> long_ones;  // the letters of the longest patterns
        for (int i = 0; i < 300; ++i) {
            // Letters of the pattern; a long one has digits at both ends, so
            // its output spans all its gaps.
            const std::size_t letters = i % 3 == 0 ? longest : 1 + random() % longest;
            std::string word;
            for (std::size_t k = 0; k <= letters; ++k) {
                const bool end = k == 0 || k == letters;
                if (end && letters == longest) {
                    c.patterns += static_cast<char>('1' + random() % 9);
                } else if (random() % 2 == 0) {
                    c.patterns += static_cast<char>('0' + random() % 10);
                }
                if (k < letters) word += "abc"[random() % 3];
                if (k < letters) c.patterns += word.back();
            }
            c.patterns += '\n';
            if (letters == longest) long_ones.push_back(word);
        }
        // Words that hold a long pattern somewhere, and random ones.
        while (c.text.size() < 40000) {
            std::string word;
            for (std::size_t k = random() % 6; k > 0; --k) word += "abc"[random() % 3];
            if (random() % 2 == 0) word += long_ones[random() % long_ones.size()];
            for (std::size_t k = random() % 6; k > 0; --k) word += "abc"[random() % 3];
            for (char& letter : word) {
                if (random() % 4 == 0) letter = static_cast<char>(letter - 'a' + 'A');
            }
            c.text += word + ' ';
        }
        const AutomatonPtr unlinked = load_pattern_text(c.patterns, nullptr, FailureLinks::left_out);
        ASSERT_NE(unlinked, nullptr);
        LetterTable letters;
        letter_table_build(&letters, c.smallChars.c_str(), c.largeChars.c_str());
        Engine engine;
        engine_build(&engine, unlinked.get(), &letters);
        EXPECT_EQ(engine.compiled->windowed, longest + 1 <= OUTPUT_WINDOW);
        // Runs walked side by side, one to four of lengths 1 to 64, against
        // each walked alone.
        const FastMarker& marker = engine.marker;
        for (int group = 0; group < 2000; ++group) {
            const int count = 1 + static_cast<int>(random() % SIDE_BY_SIDE_MAX);
            std::string words[SIDE_BY_SIDE_MAX];
            const unsigned char* runs[SIDE_BY_SIDE_MAX];
            std::int64_t lengths[SIDE_BY_SIDE_MAX];
            for (int k = 0; k < count; ++k) {
                const std::size_t at = random() % (c.text.size() - 200);
                words[k] = c.text.substr(at, 1 + random() % 64);
                for (char& letter : words[k]) letter = letter == ' ' ? 'a' : letter;
                words[k].resize(words[k].size() + CACHED_RUN_MAX, '\0');
                runs[k] = reinterpret_cast<const unsigned char*>(words[k].data());
                lengths[k] = static_cast<std::int64_t>(words[k].size()) - CACHED_RUN_MAX;
            }
            std::uint64_t together[SIDE_BY_SIDE_MAX];
            runs_marks(&marker, runs, lengths, count, together);
            for (int k = 0; k < count; ++k) {
                std::uint64_t alone[RUN_MARK_WORDS];
                run_marks(&marker, runs[k], lengths[k], alone);
                ASSERT_EQ(together[k], alone[0]) << words[k].c_str() << " with " << count << " side by side";
            }
        }
        engine_destroy(&engine);
        const std::string label = "longest pattern of " + std::to_string(longest) + " letters";
        EXPECT_GT(expect_same(c, TEXT_CHUNK, label), 1000u);
        expect_same(c, 1024, label + ", small blocks");
    }
}

}  // namespace

namespace {

// A stream that gives `left` bytes of text and then fails with EIO.
struct FailingSource {
    std::string text;
    std::size_t position;
};

ssize_t read_then_fail(void* cookie, char* into, std::size_t count)
{
    FailingSource* source = static_cast<FailingSource*>(cookie);
    if (source->position == source->text.size()) {
        errno = EIO;
        return -1;
    }
    const std::size_t n = std::min(count, source->text.size() - source->position);
    std::memcpy(into, source->text.data() + source->position, n);
    source->position += n;
    return static_cast<ssize_t>(n);
}

TEST(StreamPass, ReadErrorPartWayIsReportedAsTheInputsFailure)
{
    const AutomatonPtr automaton = load_pattern_text(basic_patterns());
    ASSERT_NE(automaton, nullptr);
    LetterTable letters;
    letter_table_build(&letters, LOWER, UPPER);
    Engine engine;
    engine_build(&engine, automaton.get(), &letters);

    std::string text;
    while (text.size() < 3 * TEXT_CHUNK) text.append("Winter is near. ");
    FailingSource failing{text, 0};
    cookie_io_functions_t functions{read_then_fail, nullptr, nullptr, nullptr};
    std::FILE* in = fopencookie(&failing, "rb", functions);
    ASSERT_NE(in, nullptr);
    std::FILE* out = std::fopen("/dev/null", "wb");
    BlockWriter writer;
    block_writer_create(&writer, out, MARKED_BLOCK, COPY_SLACK);
    const MarkSink sink = marked_output_sink(&writer, false);
    ByteSource source = byte_source_from_file(in);
    int error = 0;
    EXPECT_EQ(engine_mark(&engine, &source, &sink, &error, one_thread()), StreamEnd::read_failed);
    EXPECT_EQ(error, EIO);
    EXPECT_EQ(failing.position, text.size());  // the failure came after blocks were read
    block_writer_destroy(&writer);
    std::fclose(in);
    std::fclose(out);
    engine_destroy(&engine);
}

}  // namespace
