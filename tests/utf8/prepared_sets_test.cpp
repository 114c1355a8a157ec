#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/automaton_image.h"
#include "utf8/prepared_sets.h"
#include "utf8/set_automaton.h"

namespace {

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
        EXPECT_TRUE(prepared->image == automaton_image(made)) << set->name;
        AutomatonImage image;
        EXPECT_TRUE(automaton_image_read(&image, reinterpret_cast<const unsigned char*>(prepared->image.data()),
                                         prepared->image.size()))
            << set->name;
        automaton_destroy(made);
    }
}

bool reads(const std::string& bytes)
{
    AutomatonImage image;
    return automaton_image_read(&image, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

const unsigned char* output_start(const AutomatonImage& image)
{
    return reinterpret_cast<const unsigned char*>(image.digits);
}

void put(std::string* bytes, std::size_t at, std::uint32_t value)
{
    std::memcpy(bytes->data() + at, &value, sizeof value);
}

// An image cut short or with a byte too many, with a move leading out of
// the automaton or back towards the root, or with an output astray is no
// image.
TEST(PreparedSets, DamagedImagesAreRefused)
{
    Utf8Letters letters;
    const std::string patterns = "% a header\n.ab1c\nb2c\n1ba\n";
    utf8_letters_build(&letters, patterns, "");
    PatternAutomaton* automaton = utf8_set_automaton(&letters, patterns);
    const std::string image = automaton_image(automaton);
    automaton_destroy(automaton);
    AutomatonImage read;
    ASSERT_TRUE(automaton_image_read(&read, reinterpret_cast<const unsigned char*>(image.data()), image.size()));
    EXPECT_EQ(read.longest_output, 3u);
    for (std::size_t cut = 0; cut < image.size(); ++cut) EXPECT_FALSE(reads(image.substr(0, cut))) << cut;
    EXPECT_FALSE(reads(image + '\0'));

    const std::size_t first_child = 4 * (3 + 256);
    const std::size_t output = first_child + 4 * (static_cast<std::size_t>(read.count) + 1);
    const std::size_t digits = output + 4 * static_cast<std::size_t>(read.count);
    std::string damaged = image;
    put(&damaged, first_child + 4, static_cast<std::uint32_t>(read.count) + 1);  // past the last state
    EXPECT_FALSE(reads(damaged));
    damaged = image;
    put(&damaged, first_child + 8, 1);  // state 2's children start at state 1
    EXPECT_FALSE(reads(damaged));
    damaged = image;
    put(&damaged, output + 4, static_cast<std::uint32_t>(read.letter - output_start(read)) + 1);  // past the outputs
    EXPECT_FALSE(reads(damaged));
    damaged = image;
    damaged[digits] = 'x';  // no digit
    EXPECT_FALSE(reads(damaged));
}

}  // namespace
