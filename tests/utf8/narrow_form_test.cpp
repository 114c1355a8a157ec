// zarnet-utf8's narrow form (a byte for each letter of a set with few
// letters) against its UTF-8 form: the same sets on the same texts must give
// the same bytes, on one thread and on two, with a mark of one byte and with
// the soft hyphen, and the same places of the marks in the text; and the
// soft hyphen, spread by vector code, where a longer mark goes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <utf8proc.h>

#include "engine/copy_slack.h"
#include "files/block_writer.h"
#include "tests/support/differential.h"
#include "utf8/marked_text.h"
#include "utf8/pattern_sets.h"
#include "utf8/utf8_decode.h"
#include "utf8/utf8_run.h"

namespace {

std::string encoded(std::uint32_t cp)
{
    unsigned char bytes[4];
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(utf8_encode(cp, bytes)));
}

std::string mark(const Utf8Marker* marker, const std::string& text, const MarkOptions& options)
{
    ByteSource in = byte_source_from_memory(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    Utf8Reader reader;
    utf8_reader_create(&reader, &in, &marker->letters);
    ByteSource form = utf8_reader_source(&reader);
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    BlockWriter writer;
    block_writer_create(&writer, out, std::size_t{1} << 16, COPY_SLACK);
    Utf8Output output;
    utf8_output_create(&output, &writer, &reader, marker->mark, nullptr);
    const MarkSink sink = utf8_output_sink(&output);
    int error = 0;
    const StreamEnd end =
        block_writer_finish(&writer, engine_mark(&marker->engine, &form, &sink, &error, options), &error);
    std::fclose(out);
    std::string marked(buffer, length);
    std::free(buffer);
    utf8_output_destroy(&output);
    utf8_reader_destroy(&reader);
    EXPECT_EQ(end, StreamEnd::complete);
    return marked;
}

// Words of the set's letters and their capitals (some decomposed, some
// holding a soft hyphen, some longer than the word cache keeps) between
// spaces, punctuation, symbols and other scripts, and now and then a NUL.
std::string text_for(const Utf8Letters& letters, unsigned seed)
{
    std::vector<std::uint32_t> pool(letters.letters.begin(), letters.letters.end());
    std::sort(pool.begin(), pool.end());
    const std::size_t small = pool.size();
    for (std::size_t k = 0; k < small; ++k) {
        pool.push_back(static_cast<std::uint32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(pool[k]))));
    }
    const std::vector<std::string> between = {" ", " ", "\n", ", ", "-", "\xC2\xAB", "\xE2\x80\x94", "\xF0\x9F\x98\x80",
                                              "\xC2\xA0", "\xC3\xA9", "\xCE\xB1", "\xD0\xB6", "\xE0\xA4\x95", "K", "\xE2\x84\xAA",
                                              "\xC4\xB0", std::string(1, '\0')};
    const std::vector<std::string> inside = {"\xCC\x81", "\xCC\x86", "\xCC\x88", "\xC2\xAD"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < 300000) {
        const int length = 1 + static_cast<int>(random() % (random() % 8 == 0 ? 40 : 10));
        for (int k = 0; k < length; ++k) {
            text += encoded(pool[random() % (random() % 4 == 0 ? pool.size() : small)]);
            if (random() % 60 == 0) text += inside[random() % inside.size()];
        }
        text += between[random() % (random() % 6 == 0 ? between.size() : 3)];
    }
    return text;
}

const char* const SETS[] = {"ru", "uk", "de-1996", "el-monoton", "el-polyton", "hi", "en-us", "tr", "cu", "sa"};

TEST(NarrowForm, MarksAsTheUtf8FormDoes)
{
    int narrow_sets = 0;
    for (const char* name : SETS) {
        const PatternSet* set = find_pattern_set(name);
        ASSERT_NE(set, nullptr) << name;
        for (const std::string mark_text : {"\xC2\xAD", "="}) {
            Utf8Marker narrow;
            Utf8Marker wide;
            utf8_marker_build(&narrow, set->patterns, set->exceptions, set->left, set->right, mark_text);
            utf8_marker_build(&wide, set->patterns, set->exceptions, set->left, set->right, mark_text, false);
            ASSERT_FALSE(wide.letters.narrow);
            narrow_sets += narrow.letters.narrow ? 1 : 0;
            const std::string text = text_for(narrow.letters, static_cast<unsigned>(narrow_sets));
            const std::string expected = mark(&wide, text, one_thread());
            EXPECT_NE(expected, text) << name;
            EXPECT_EQ(mark(&narrow, text, one_thread()), expected) << name << " mark " << mark_text;
            // On two threads, the output writing while the reader reads on.
            EXPECT_EQ(mark(&narrow, text, threads(1, 4096, 0)), expected) << name << " mark " << mark_text;
            EXPECT_EQ(mark(&wide, text, threads(1, 4096, 0)), expected) << name << " mark " << mark_text;
            // The places of the marks in the text, as pages are marked.
            std::vector<std::uint64_t> narrow_breaks;
            std::vector<std::uint64_t> wide_breaks;
            const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
            EXPECT_TRUE(utf8_breaks(&narrow, bytes, text.size(), &narrow_breaks));
            EXPECT_TRUE(utf8_breaks(&wide, bytes, text.size(), &wide_breaks));
            EXPECT_EQ(narrow_breaks, wide_breaks) << name;
            EXPECT_FALSE(wide_breaks.empty()) << name;
            if (mark_text[0] == '\xC2') {
                // The soft hyphen is spread by vector code of its own; a
                // mark of three bytes (U+2010, not in the text) is written
                // plainly. Both must go in the same places.
                Utf8Marker plain;
                utf8_marker_build(&plain, set->patterns, set->exceptions, set->left, set->right, "\xE2\x80\x90");
                std::string marked = mark(&plain, text, one_thread());
                for (std::size_t at = marked.find("\xE2\x80\x90"); at != std::string::npos;
                     at = marked.find("\xE2\x80\x90", at)) {
                    marked.replace(at, 3, mark_text);
                }
                EXPECT_EQ(marked, expected) << name;
                utf8_marker_destroy(&plain);
            }
            utf8_marker_destroy(&narrow);
            utf8_marker_destroy(&wide);
        }
    }
    // Most of these sets have a narrow form; Sanskrit, with hundreds of
    // letters, has none.
    EXPECT_GE(narrow_sets, 2 * 6);
}

}  // namespace
