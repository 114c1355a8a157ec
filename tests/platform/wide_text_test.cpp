// The conversions between UTF-16 and the program's 8-bit strings, and the
// extended-length form of Windows paths (plain string work, tested here).

#include <gtest/gtest.h>

#include <string>

#include "platform/wide_text.h"

namespace {

std::string utf8_of(const std::u16string& units)
{
    return utf8_from_utf16(units.data(), units.size());
}

TEST(WideText, NamesInAnyScriptGoThereAndBackUnchanged)
{
    const std::u16string names[] = {
        u"Łódź.txt", u"Привет мир", u"Καλημέρα", u"日本語", u"emoji \U0001F600 and \U00010348",
        // Units Windows allows in names that are no characters: unpaired surrogates.
        std::u16string{u'a', char16_t(0xD800), u'b'}, std::u16string{char16_t(0xDC00)},
        std::u16string{char16_t(0xDBFF)}, std::u16string{char16_t(0xDC00), char16_t(0xD800)}, u""};
    for (const std::u16string& name : names) {
        const std::string utf8 = utf8_of(name);
        EXPECT_EQ(utf16_from_utf8(utf8.c_str()), name) << utf8;
    }
    EXPECT_EQ(utf8_of(u"Łódź"), "\xC5\x81\xC3\xB3" "d\xC5\xBA");
    EXPECT_EQ(utf8_of(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8_of(std::u16string{char16_t(0xD83D)}), "\xED\xA0\xBD");
}

TEST(WideText, BytesThatStartNoSequenceBecomeReplacementCharacters)
{
    // A stray continuation byte, a lead byte cut short (also by the end),
    // overlong forms and code points beyond U+10FFFF.
    EXPECT_EQ(utf16_from_utf8("a\x80z"), u"a\uFFFDz");
    EXPECT_EQ(utf16_from_utf8("\xC5z"), u"\uFFFDz");
    EXPECT_EQ(utf16_from_utf8("\xE2\x82"), u"\uFFFD\uFFFD");
    EXPECT_EQ(utf16_from_utf8("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(utf16_from_utf8("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(utf16_from_utf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(utf16_from_utf8("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
}

TEST(WideText, ExtendedLengthFormOfFullPaths)
{
    EXPECT_EQ(extended_length_path(u"C:\\dir\\Łódź.txt"), u"\\\\?\\C:\\dir\\Łódź.txt");
    EXPECT_EQ(extended_length_path(u"z:\\"), u"\\\\?\\z:\\");
    EXPECT_EQ(extended_length_path(u"\\\\server\\share\\file"), u"\\\\?\\UNC\\server\\share\\file");
    // Already extended, or devices: as they are.
    EXPECT_EQ(extended_length_path(u"\\\\?\\C:\\file"), u"\\\\?\\C:\\file");
    EXPECT_EQ(extended_length_path(u"\\\\?\\UNC\\server\\share"), u"\\\\?\\UNC\\server\\share");
    EXPECT_EQ(extended_length_path(u"\\\\.\\NUL"), u"\\\\.\\NUL");
    EXPECT_EQ(extended_length_path(u"\\\\.\\pipe\\name"), u"\\\\.\\pipe\\name");
    EXPECT_EQ(extended_length_path(u"\\??\\C:\\file"), u"\\??\\C:\\file");
    // Not full paths: nothing to extend.
    EXPECT_EQ(extended_length_path(u"C:file"), u"C:file");
    EXPECT_EQ(extended_length_path(u"\\dir\\file"), u"\\dir\\file");
    EXPECT_EQ(extended_length_path(u"file"), u"file");
    EXPECT_EQ(extended_length_path(u""), u"");
}

}  // namespace
