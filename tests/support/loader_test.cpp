// The loader against the reference that finds every prefix and suffix by its
// string: both must build the same automaton, state for state, on random
// pattern files, on hostile shapes and on the real pattern sets.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "files/pattern_file.h"
#include "tests/support/index_loader.h"
#include "tests/support/random_cases.h"
#include "tests/support/test_support.h"

namespace {

struct ReferenceDeleter {
    void operator()(PatternAutomaton* automaton) const { automaton_destroy(automaton); }
};

// Loads the bytes both ways and reports the first difference.
void expect_same_automaton(const std::string& patterns, const std::string& label)
{
    ScratchDir dir;
    const std::string path = dir.file("p.pat");
    write_bytes(path, patterns);
    AutomatonPtr loaded(load_patterns(path.c_str()));
    AutomatonPtr reference(load_patterns_by_index(path.c_str()));
    ASSERT_NE(loaded, nullptr) << label;
    ASSERT_NE(reference, nullptr) << label;
    const std::string difference = automaton_difference(reference.get(), loaded.get());
    EXPECT_EQ(difference, "") << label;
}

TEST(LoaderAgainstReference, RandomPatternFiles)
{
    CaseGenerator generator{std::mt19937(4242)};
    for (int i = 0; i < 300; ++i) {
        const MarkingCase c = generator.make(0);
        expect_same_automaton(c.patterns, "case " + std::to_string(i));
        if (HasFailure()) return;
    }
}

TEST(LoaderAgainstReference, HostileShapes)
{
    std::mt19937 random(99);
    for (const HostileShape shape : HOSTILE_SHAPES) {
        expect_same_automaton(hostile_pattern_file(shape, 400, &random), hostile_shape_name(shape));
    }
}

TEST(LoaderAgainstReference, RealPatternSets)
{
    for (const char* set : {"en-us", "de-1996", "ru"}) {
        const std::string patterns = read_bytes(std::string(ZARNET_SOURCE_DIR) + "/patterns/" + set + ".pat");
        ASSERT_FALSE(patterns.empty()) << set;
        expect_same_automaton(patterns, set);
    }
}

}  // namespace

namespace {

// Lines are read where they lie in the buffer unless they need the copying
// read: every shape that needs it, mixed at random over several buffers, so
// that lines also straddle a buffer's end.
TEST(LoaderAgainstReference, LineShapesAcrossBuffers)
{
    std::mt19937 random(7);
    const auto letters = [&](std::size_t n) {
        std::string s;
        for (std::size_t k = 0; k < n; ++k) {
            if (random() % 5 == 0) s += static_cast<char>('1' + random() % 9);
            s += static_cast<char>(random() % 3 == 0 ? 0xE4 + random() % 3 : 'a' + random() % 6);
        }
        return s;
    };
    std::string patterns;
    while (patterns.size() < 2 * 64 * 1024 + 4096) {
        switch (random() % 9) {
        case 0: patterns += letters(2 + random() % 6) + "\r\n"; break;
        case 1: patterns += letters(2 + random() % 6) + (random() % 2 ? " x\n" : "\t\n"); break;
        case 2: patterns += letters(60 + random() % 120) + "\n"; break;  // more than one piece
        case 3:  // a long comment's rest is a line of its own
            patterns += '%';
            patterns += letters(random() % 120);
            patterns += '\n';
            break;
        case 4:
            patterns += letters(3);
            patterns += '\x1b';
            patterns += letters(2);
            patterns += '\n';
            break;
        case 5:
            patterns += '\0';
            patterns += letters(3);
            patterns += '\n';
            break;
        case 6:  // a run of digits longer than a piece
            patterns += letters(2);
            patterns.append(80 + random() % 200, static_cast<char>('1' + random() % 9));
            patterns += letters(2);
            patterns += '\n';
            break;
        default: patterns += letters(1 + random() % 8) + "\n"; break;
        }
    }
    expect_same_automaton(patterns, "mixed shapes");
    expect_same_automaton(patterns + letters(5) + "\x1a" + letters(5) + "\n", "ended by 0x1A");
    expect_same_automaton(patterns + letters(5), "no final newline");
    // Such a run just before the buffer's end reads nothing past it.
    for (std::size_t before = 64 * 1024 - 90; before < 64 * 1024; before += 7) {
        std::string filler(before % 8, 'q');
        filler += '\n';
        while (filler.size() < before) filler += "ab\n";
        filler.resize(before - 1);
        filler += '\n';
        expect_same_automaton(filler + "ab" + std::string(300, '7') + "c\n", "digits at the buffer's end");
    }
}

}  // namespace
