#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/automaton.h"
#include "files/pattern_file.h"
#include "engine/pattern_line.h"
#include "tests/support/string_index.h"
#include "tests/support/index_loader.h"
#include "tests/support/test_support.h"

namespace {

struct IndexDeleter {
    void operator()(StringIndex* index) const { string_index_destroy(index); }
};
using IndexPtr = std::unique_ptr<StringIndex, IndexDeleter>;

AutomatonPtr load_text(const std::string& bytes, int* error = nullptr)
{
    return load_pattern_text(bytes, error);
}

std::int32_t child_of(const PatternAutomaton* automaton, std::int32_t state, unsigned char letter)
{
    const AutomatonState& s = automaton->states[state];
    for (std::int32_t i = 0; i < s.transition_count; ++i) {
        if (s.transitions[i].letter == letter) return s.transitions[i].target;
    }
    return -1;
}

// The state of `key`, found by walking the trie from the root; -1 when absent.
std::int32_t state_of(const PatternAutomaton* automaton, const std::string& key)
{
    std::int32_t state = 0;
    for (char c : key) {
        state = child_of(automaton, state, static_cast<unsigned char>(c));
        if (state < 0) return -1;
    }
    return state;
}

// The string of every state, rebuilt from the transitions; "" for a state
// that no transition reaches.
std::vector<std::string> state_strings(const PatternAutomaton* automaton)
{
    std::vector<std::string> strings(static_cast<std::size_t>(automaton->count));
    std::vector<std::int32_t> queue{0};
    for (std::size_t i = 0; i < queue.size(); ++i) {
        const AutomatonState& s = automaton->states[queue[i]];
        for (std::int32_t t = 0; t < s.transition_count; ++t) {
            const std::int32_t target = s.transitions[t].target;
            strings[static_cast<std::size_t>(target)] = strings[static_cast<std::size_t>(queue[i])];
            strings[static_cast<std::size_t>(target)].push_back(static_cast<char>(s.transitions[t].letter));
            queue.push_back(target);
        }
    }
    return strings;
}

// Checks the shape every loaded automaton must have.
void expect_well_formed(const PatternAutomaton* automaton)
{
    ASSERT_GE(automaton->count, 1);
    EXPECT_EQ(automaton->states[0].failure, -1);
    std::vector<int> incoming(static_cast<std::size_t>(automaton->count), 0);
    for (std::int32_t s = 0; s < automaton->count; ++s) {
        const AutomatonState& state = automaton->states[s];
        std::set<unsigned char> letters;
        for (std::int32_t t = 0; t < state.transition_count; ++t) {
            const Transition& tr = state.transitions[t];
            ASSERT_GT(tr.target, 0);
            ASSERT_LT(tr.target, automaton->count);
            ++incoming[static_cast<std::size_t>(tr.target)];
            EXPECT_TRUE(letters.insert(tr.letter).second) << "state " << s << " letter " << int{tr.letter};
        }
    }
    EXPECT_EQ(incoming[0], 0);
    const std::vector<std::string> strings = state_strings(automaton);
    for (std::int32_t s = 1; s < automaton->count; ++s) {
        EXPECT_EQ(incoming[static_cast<std::size_t>(s)], 1) << "state " << s;
        const std::int32_t failure = automaton->states[s].failure;
        ASSERT_GE(failure, 0) << "state " << s;
        ASSERT_LT(failure, automaton->count);
        EXPECT_LT(strings[static_cast<std::size_t>(failure)].size(), strings[static_cast<std::size_t>(s)].size());
    }
}

// ---- hash and index ---------------------------------------------------------

TEST(StringHash, KnownValues)
{
    // Worked out by hand (h = 16h + byte while no high nibble is set) and
    // with a separate script for the longer keys.
    EXPECT_EQ(string_hash(""), 0u);
    EXPECT_EQ(string_hash("a"), 0x61u);
    EXPECT_EQ(string_hash("ab"), 0x672u);
    EXPECT_EQ(string_hash("abc"), 0x6783u);
    EXPECT_EQ(string_hash("printf"), 0x077905A6u);  // the common ELF hash test value
    EXPECT_EQ(string_hash("zzzzzzz"), 0x0222229Au);
    EXPECT_EQ(string_hash("zzzzzzzz"), 0x02222A3Au);  // high nibble folded back
    EXPECT_EQ(string_hash("abcdefghijklmnopqrstuvwxyz"), 0x08D1E00Au);
    EXPECT_EQ(string_hash("\xFF\xFE\xFD\xFC\xFB\xFA\xF9\xF8\xF7"), 0x0DCCA897u);  // bytes are unsigned
}

TEST(StringIndex, InsertAndFind)
{
    IndexPtr index(string_index_create());
    for (std::uint32_t b = 0; b < INDEX_BUCKETS; ++b) ASSERT_EQ(index->buckets[b], nullptr);
    EXPECT_EQ(string_index_find(index.get(), ""), -1);
    string_index_insert(index.get(), "", 0);
    string_index_insert(index.get(), "ab", 7);
    string_index_insert(index.get(), "\xE4\xFF", 9);
    EXPECT_EQ(string_index_find(index.get(), ""), 0);
    EXPECT_EQ(string_index_find(index.get(), "ab"), 7);
    EXPECT_EQ(string_index_find(index.get(), "\xE4\xFF"), 9);
    EXPECT_EQ(string_index_find(index.get(), "a"), -1);
    EXPECT_EQ(string_index_find(index.get(), "abc"), -1);

    // Insert does not look for an existing key; the newest entry is found first.
    string_index_insert(index.get(), "ab", 8);
    EXPECT_EQ(string_index_find(index.get(), "ab"), 8);
}

TEST(StringIndex, KeysSharingAChainStayApart)
{
    IndexPtr index(string_index_create());
    // "aq" and "ba" have the same hash; "aaa" and "cvqp" different hashes
    // that fall into the same chain.
    ASSERT_EQ(string_hash("aq"), string_hash("ba"));
    ASSERT_NE(string_hash("aaa"), string_hash("cvqp"));
    ASSERT_EQ(string_hash("aaa") % INDEX_BUCKETS, string_hash("cvqp") % INDEX_BUCKETS);
    string_index_insert(index.get(), "aq", 1);
    string_index_insert(index.get(), "ba", 2);
    string_index_insert(index.get(), "aaa", 3);
    string_index_insert(index.get(), "cvqp", 4);
    EXPECT_EQ(string_index_find(index.get(), "aq"), 1);
    EXPECT_EQ(string_index_find(index.get(), "ba"), 2);
    EXPECT_EQ(string_index_find(index.get(), "aaa"), 3);
    EXPECT_EQ(string_index_find(index.get(), "cvqp"), 4);

    // New entries go to the head of the chain.
    const IndexEntry* head = index->buckets[string_hash("aaa") % INDEX_BUCKETS];
    ASSERT_NE(head, nullptr);
    ASSERT_NE(head->next, nullptr);
    EXPECT_STREQ(head->key, "cvqp");
    EXPECT_STREQ(head->next->key, "aaa");
    EXPECT_EQ(head->next->next, nullptr);
}

// ---- automaton records ------------------------------------------------------

TEST(Automaton, CreateHoldsOnlyTheRoot)
{
    AutomatonPtr automaton(automaton_create());
    ASSERT_EQ(automaton->count, 1);
    EXPECT_EQ(automaton->states[0].output, nullptr);
    EXPECT_EQ(automaton->states[0].failure, -1);
    EXPECT_EQ(automaton->states[0].transition_count, 0);
    EXPECT_EQ(automaton->states[0].transitions, nullptr);
    automaton_destroy(nullptr);
}

TEST(Automaton, StatesAreNumberedInCreationOrderAndGrow)
{
    AutomatonPtr automaton(automaton_create());
    IndexPtr index(string_index_create());
    string_index_insert(index.get(), "", 0);
    for (int i = 1; i <= 1000; ++i) {
        ASSERT_EQ(automaton_state_for(automaton.get(), index.get(), std::to_string(i).c_str()), i);
    }
    EXPECT_EQ(automaton->count, 1001);
    EXPECT_EQ(automaton_state_for(automaton.get(), index.get(), "512"), 512);
    EXPECT_EQ(automaton_state_for(automaton.get(), index.get(), ""), 0);
    EXPECT_EQ(automaton->count, 1001);
    const AutomatonState& last = automaton->states[1000];
    EXPECT_EQ(last.output, nullptr);
    EXPECT_EQ(last.failure, -1);
    EXPECT_EQ(last.transition_count, 0);
    EXPECT_EQ(last.transitions, nullptr);
}

TEST(Automaton, TransitionsKeepTheirOrderWhileGrowing)
{
    AutomatonPtr automaton(automaton_create());
    for (int i = 0; i < 300; ++i) {
        automaton_add_transition(automaton.get(), 0, i + 1, static_cast<unsigned char>(255 - i % 256));
    }
    ASSERT_EQ(automaton->states[0].transition_count, 300);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(automaton->states[0].transitions[i].letter, 255 - i % 256);
        EXPECT_EQ(automaton->states[0].transitions[i].target, i + 1);
    }
}

// ---- one pattern line -------------------------------------------------------

struct LineCase {
    std::string line;
    std::string letters;
    std::string digits;
    std::string output;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(c.line);
}

class PatternLineParse : public ::testing::TestWithParam<LineCase> {};

TEST_P(PatternLineParse, LettersDigitsAndOutput)
{
    const LineCase& c = GetParam();
    PatternLine parsed;
    parse_pattern_line(&parsed, c.line.c_str());
    EXPECT_EQ(std::string(parsed.letters), c.letters);
    EXPECT_EQ(parsed.letter_count, c.letters.size());
    EXPECT_EQ(std::string(parsed.digits), c.digits);
    EXPECT_EQ(std::string(pattern_line_output(&parsed)), c.output);
}

const std::string letters79 = [] {
    std::string s;
    for (int i = 0; i < 79; ++i) s.push_back(static_cast<char>('a' + i % 26));
    return s;
}();

INSTANTIATE_TEST_SUITE_P(
    Cases, PatternLineParse,
    ::testing::Values(LineCase{"he2n", "hen", "0020", "20"},
                      LineCase{".ach4", ".ach", "00004", "4"},
                      LineCase{"1ba", "ba", "100", "100"},
                      LineCase{"a12b", "ab", "020", "20"},  // last digit of a gap counts
                      LineCase{"a1b0", "ab", "010", "10"},  // trailing zero stays
                      LineCase{"a0b", "ab", "000", ""},
                      LineCase{"abc", "abc", "0000", ""},
                      LineCase{"5", "", "5", "5"},
                      LineCase{"", "", "0", ""},
                      LineCase{" a1b", "", "0", ""},
                      LineCase{"a1b c2d", "ab", "010", "10"},
                      LineCase{"a1b\tc", "ab", "010", "10"},
                      LineCase{"a1b\x1F" "c", "ab", "010", "10"},
                      LineCase{"a1b\n", "ab", "010", "10"},
                      LineCase{"%!a\x7F", "%!a\x7F", "00000", ""},  // every byte above 0x20 is a letter
                      LineCase{"\x80" "1\xE4\xFF" "3", "\x80\xE4\xFF", "0103", "103"},
                      LineCase{letters79, letters79, std::string(80, '0'), ""},
                      LineCase{letters79 + "7", letters79, std::string(79, '0') + "7", "7"}));

// ---- loading ----------------------------------------------------------------

TEST(LoadPatterns, FirstPatternNumbersLongestPrefixLowest)
{
    AutomatonPtr a = load_text("abc\n");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->count, 4);
    EXPECT_EQ(child_of(a.get(), 0, 'a'), 3);
    EXPECT_EQ(child_of(a.get(), 3, 'b'), 2);
    EXPECT_EQ(child_of(a.get(), 2, 'c'), 1);
    EXPECT_STREQ(a->states[1].output, "");  // a pattern without digits
    EXPECT_EQ(a->states[2].output, nullptr);
    EXPECT_EQ(a->states[3].output, nullptr);
    EXPECT_EQ(a->states[0].output, nullptr);
    expect_well_formed(a.get());
}

TEST(LoadPatterns, FailureLinkIsLongestSuffixThatIsAState)
{
    AutomatonPtr without = load_text("x\nxy\n");
    ASSERT_NE(without, nullptr);
    EXPECT_EQ(without->states[state_of(without.get(), "xy")].failure, 0);
    EXPECT_EQ(without->states[state_of(without.get(), "x")].failure, 0);

    AutomatonPtr with = load_text("x\nxy\ny1z\n");
    ASSERT_NE(with, nullptr);
    EXPECT_EQ(with->states[state_of(with.get(), "xy")].failure, state_of(with.get(), "y"));
    EXPECT_EQ(with->states[state_of(with.get(), "yz")].failure, 0);

    AutomatonPtr deep = load_text("abcd\nbc\nc\n");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->states[state_of(deep.get(), "abc")].failure, state_of(deep.get(), "bc"));
    EXPECT_EQ(deep->states[state_of(deep.get(), "abcd")].failure, 0);
    EXPECT_EQ(deep->states[state_of(deep.get(), "bc")].failure, state_of(deep.get(), "c"));
}

// What a loaded file holds for one string: "<absent>" when no state has it,
// "<none>" for a state without output, else the output in brackets.
std::string describe(const PatternAutomaton* automaton, const std::string& key)
{
    const std::int32_t state = state_of(automaton, key);
    if (state < 0) return "<absent>";
    const char* output = automaton->states[state].output;
    return output == nullptr ? "<none>" : std::string("[").append(output).append("]");
}

struct LoadCase {
    const char* name;
    std::string text;
    std::int32_t count;
    std::vector<std::pair<std::string, std::string>> expected;  // string -> describe()
};

void PrintTo(const LoadCase& c, std::ostream* os)
{
    *os << c.name;
}

class LoadFile : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadFile, States)
{
    const LoadCase& c = GetParam();
    AutomatonPtr a = load_text(c.text);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->count, c.count);
    for (const auto& [key, expected] : c.expected) EXPECT_EQ(describe(a.get(), key), expected) << "\"" << key << "\"";
    expect_well_formed(a.get());
}

const std::string letters78 = letters79.substr(0, 78);
// 101 bytes: "ab1c", a space and 74 ignored bytes fill the first piece; the
// rest, from byte 80 on, is a piece of its own.
const std::string head79 = std::string("ab1c ").append(74, 'z');

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadFile,
    ::testing::Values(
        LoadCase{"Empty", "", 1, {{"", "<none>"}}},
        LoadCase{"OnlyComments", "% one\n%two\n%\n", 1, {{"", "<none>"}}},
        // Empty patterns give the root the empty output and add no state.
        LoadCase{"EmptyLine", "\n", 1, {{"", "[]"}}},
        LoadCase{"LeadingSpace", " a1b\n", 1, {{"", "[]"}}},
        LoadCase{"LeadingTab", "\ta1b\n", 1, {{"", "[]"}}},
        LoadCase{"PercentAfterSpaces", "  %x\n", 1, {{"", "[]"}}},
        LoadCase{"LeadingNul", std::string("\0a1b\n", 5), 1, {{"", "[]"}}},
        LoadCase{"PercentInsideIsALetter", "a%1b\n", 4, {{"a%b", "[10]"}}},
        LoadCase{"DigitsOnly", "5\n", 1, {{"", "[5]"}}},
        LoadCase{"NoDigits", "abc\n", 4, {{"a", "<none>"}, {"ab", "<none>"}, {"abc", "[]"}}},
        LoadCase{"LastLineWins", "a1b\nc2d\na3b\n", 5, {{"ab", "[30]"}, {"cd", "[20]"}}},
        LoadCase{"LastLineWinsEvenWhenSmaller", "a3b\na1b\n", 3, {{"ab", "[10]"}}},
        LoadCase{"ExistingPrefixAddsNoState", "abc\na1b\n", 4,
                 {{"a", "<none>"}, {"ab", "[10]"}, {"abc", "[]"}}},
        // Each long line fills a whole piece; its newline is a piece of its own.
        LoadCase{"LongPatternsLoadWhole",
                 letters78.substr(0, 40).append("3").append(letters78.substr(40)).append("\n")
                     .append(letters79).append("\nq1r\n"),
                 82,
                 {{letters78, std::string("[3").append(38, '0').append("]")},
                  {letters79, "[]"}, {"", "[]"}, {"qr", "[10]"}}},
        LoadCase{"LongLineInPieces", std::string(head79).append("q2r ").append(18, 'z').append("\n"), 6,
                 {{"abc", "[10]"}, {"qr", "[20]"}}},
        LoadCase{"PercentStartsAPiece", std::string(head79).append("%2r ").append(18, 'z').append("\nx1y\n"), 6,
                 {{"abc", "[10]"}, {"xy", "[10]"}, {"%", "<absent>"}}},
        // 78 letters and CRLF make one piece; were CR kept, the LF would be
        // a piece of its own and give the root an output.
        LoadCase{"CrLfIsOneNewline", std::string(letters78).append("\r\na1b\r\n"), 79,
                 {{letters78, "[]"}, {"ab", "[10]"}, {"", "<none>"}}},
        LoadCase{"LoneCrEndsThePattern", "a1b\rc2d\n", 3, {{"ab", "[10]"}, {"c", "<absent>"}}},
        LoadCase{"CtrlZEndsTheFile", "a1b\nc\x1A" "1d\ne1f\n", 4,
                 {{"ab", "[10]"}, {"c", "[]"}, {"cd", "<absent>"}, {"e", "<absent>"}}}),
    [](const ::testing::TestParamInfo<LoadCase>& param) { return std::string(param.param.name); });

TEST(LoadPatterns, MissingFileGivesNullAndEnoent)
{
    ScratchDir dir;
    int error = 0;
    EXPECT_EQ(load_patterns(dir.file("absent.pat").c_str(), &error), nullptr);
    EXPECT_EQ(error, ENOENT);
}

TEST(LoadPatterns, DirectoryGivesNullAndAnError)
{
    ScratchDir dir;
    int error = 0;
    EXPECT_EQ(load_patterns(dir.path.c_str(), &error), nullptr);
    EXPECT_EQ(error, EISDIR);
}

TEST(LoadPatterns, UnreadableFileGivesNullAndEacces)
{
    if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
    ScratchDir dir;
    write_bytes(dir.file("locked.pat"), "a1b\n");
    std::filesystem::permissions(dir.file("locked.pat"), std::filesystem::perms::none);
    int error = 0;
    EXPECT_EQ(load_patterns(dir.file("locked.pat").c_str(), &error), nullptr);
    EXPECT_EQ(error, EACCES);
}

// Failure links against the definition, on a random pattern set over a small
// alphabet where suffixes often are states.
TEST(LoadPatterns, FailureLinksMatchLongestSuffixOnRandomPatterns)
{
    std::mt19937 random(12345);
    std::string text;
    std::set<std::string> prefixes{""};
    for (int i = 0; i < 400; ++i) {
        std::string letters;
        const int length = 1 + static_cast<int>(random() % 7);
        for (int k = 0; k < length; ++k) {
            letters.push_back("abc."[random() % 4]);
            text.push_back(letters.back());
            if (random() % 3 == 0) text.push_back(static_cast<char>('1' + random() % 9));
        }
        text.push_back('\n');
        for (std::size_t k = 1; k <= letters.size(); ++k) prefixes.insert(letters.substr(0, k));
    }
    AutomatonPtr a = load_text(text);
    ASSERT_NE(a, nullptr);
    expect_well_formed(a.get());
    ASSERT_EQ(static_cast<std::size_t>(a->count), prefixes.size());
    for (const std::string& key : prefixes) {
        if (key.empty()) continue;
        std::size_t cut = 1;
        while (prefixes.count(key.substr(cut)) == 0) ++cut;
        ASSERT_EQ(a->states[state_of(a.get(), key)].failure, state_of(a.get(), key.substr(cut))) << key;
    }
}

class RealPatternFile : public ::testing::TestWithParam<const char*> {};

TEST_P(RealPatternFile, IsWellFormed)
{
    const std::string path = std::string(ZARNET_SOURCE_DIR).append("/patterns/").append(GetParam());
    if (!file_exists(path)) GTEST_SKIP() << path << " not present";
    int error = 0;
    AutomatonPtr a(load_patterns(path.c_str(), &error));
    ASSERT_NE(a, nullptr) << "error " << error;
    EXPECT_GT(a->count, 1000);
    expect_well_formed(a.get());
}

INSTANTIATE_TEST_SUITE_P(Files, RealPatternFile, ::testing::Values("en-us.pat", "de-1996.pat", "ru.pat"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             std::string name;
                             for (const char* c = param.param; *c != '.'; ++c) name.push_back(*c == '-' ? '_' : *c);
                             return name;
                         });

}  // namespace
