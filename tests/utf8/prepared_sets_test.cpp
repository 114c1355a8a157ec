#include <gtest/gtest.h>

#include <string>

#include "engine/automaton_image.h"
#include "utf8/prepared_sets.h"
#include "utf8/set_automaton.h"

namespace {

// The same states, numbered alike, with the same outputs and transitions.
void expect_same_automaton(const PatternAutomaton* a, const PatternAutomaton* b, const char* name)
{
    ASSERT_EQ(a->count, b->count) << name;
    EXPECT_EQ(a->longest_output, b->longest_output) << name;
    for (int letter = 0; letter < 256; ++letter) EXPECT_EQ(a->transitions_on[letter], b->transitions_on[letter]) << name;
    for (std::int32_t s = 0; s < a->count; ++s) {
        const AutomatonState& x = a->states[s];
        const AutomatonState& y = b->states[s];
        ASSERT_EQ(x.output == nullptr, y.output == nullptr) << name << " state " << s;
        if (x.output != nullptr) {
            ASSERT_STREQ(x.output, y.output) << name << " state " << s;
        }
        ASSERT_EQ(x.transition_count, y.transition_count) << name << " state " << s;
        for (std::int32_t t = 0; t < x.transition_count; ++t) {
            ASSERT_EQ(x.transitions[t].letter, y.transitions[t].letter) << name << " state " << s;
            ASSERT_EQ(x.transitions[t].target, y.transitions[t].target) << name << " state " << s;
        }
    }
}

// What the program carries for each built-in set is what a run would make
// from the set's files.
TEST(PreparedSets, AreWhatTheirFilesMake)
{
    ASSERT_EQ(PREPARED_SET_COUNT, PATTERN_SET_COUNT);
    for (std::size_t k = 0; k < PATTERN_SET_COUNT; ++k) {
        const PatternSet* set = &PATTERN_SETS[k];
        const PreparedSet* prepared = prepared_set_of(set);
        ASSERT_NE(prepared, nullptr);
        const std::vector<std::uint32_t> characters = utf8_set_characters(set->patterns, set->exceptions);
        EXPECT_EQ(prepared_characters(prepared), characters) << set->name;
        Utf8Letters letters;
        utf8_letters_make(&letters, characters);
        PatternAutomaton* made = utf8_set_automaton(&letters, set->patterns);
        PatternAutomaton* carried = automaton_from_image(
            reinterpret_cast<const unsigned char*>(prepared->image.data()), prepared->image.size());
        ASSERT_NE(carried, nullptr) << set->name;
        expect_same_automaton(made, carried, set->name);
        automaton_destroy(made);
        automaton_destroy(carried);
    }
}

// An image cut short, with a byte too many, or with a transition leading
// out of the automaton is no image.
TEST(PreparedSets, PartsOfImagesAreRefused)
{
    Utf8Letters letters;
    const std::string patterns = "% a header\n.ab1c\nb2c\n1ba\n";
    utf8_letters_build(&letters, patterns, "");
    PatternAutomaton* automaton = utf8_set_automaton(&letters, patterns);
    const std::string image = automaton_image(automaton);
    const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
    PatternAutomaton* again = automaton_from_image(bytes, image.size());
    ASSERT_NE(again, nullptr);
    expect_same_automaton(automaton, again, "whole");
    automaton_destroy(again);
    for (std::size_t cut = 0; cut < image.size(); ++cut) EXPECT_EQ(automaton_from_image(bytes, cut), nullptr) << cut;
    const std::string longer = image + '\0';
    EXPECT_EQ(automaton_from_image(reinterpret_cast<const unsigned char*>(longer.data()), longer.size()), nullptr);
    // The distance to the target of the root's first transition, after the
    // four numbers of the header, the outputs, the root's output and
    // transition count and the letter, made far too large.
    std::string astray = image;
    const std::size_t root = 4 + static_cast<unsigned char>(image[3]);
    ASSERT_EQ(astray[root], '\0');
    astray[root + 3] = 0x7E;
    EXPECT_EQ(automaton_from_image(reinterpret_cast<const unsigned char*>(astray.data()), astray.size()), nullptr);
    automaton_destroy(automaton);
}

}  // namespace
