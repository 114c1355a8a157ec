#include <gtest/gtest.h>

#include "files/messages.h"

namespace {

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
