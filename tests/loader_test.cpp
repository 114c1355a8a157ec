// The loader against the reference that finds every prefix and suffix by its
// string: both must build the same automaton, state for state, on random
// pattern files, on hostile shapes and on the real pattern sets.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "automaton/loader.h"
#include "tests/index_loader.h"
#include "tests/random_cases.h"
#include "tests/test_support.h"

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
