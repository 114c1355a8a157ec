// Marking of web pages, through the built-in sets, with "=" as the mark so
// that the expected pages read plainly. Every case also checks that taking
// the marks out gives the page back byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "markup/markup_mark.h"

namespace {

struct Case {
    const char* name;
    MarkupSyntax syntax;
    const char* lang;  // of text no lang attribute covers
    const char* page;
    const char* marked;  // null: not well-formed XML
};

const Case CASES[] = {
    {"TextOnlyNotTagsAttributesCommentsOrDoctype", MarkupSyntax::html, "en",
     "<!DOCTYPE html><!-- documentation --><section class=\"chapter-heading\" id=\"introduction\" "
     "title=\"documentation\">documentation</section>",
     "<!DOCTYPE html><!-- documentation --><section class=\"chapter-heading\" id=\"introduction\" "
     "title=\"documentation\">doc=u=men=ta=tion</section>"},
    {"SkippedElementsAndRawText", MarkupSyntax::html, "en",
     "<head><title>documentation</title><style>p{} documentation</style></head><pre>documentation</pre>"
     "<script>if (a</b) documentation</script><code>documentation</code><svg><text>documentation</text></svg>"
     "<textarea><p>documentation</textarea><p>documentation",
     "<head><title>documentation</title><style>p{} documentation</style></head><pre>documentation</pre>"
     "<script>if (a</b) documentation</script><code>documentation</code><svg><text>documentation</text></svg>"
     "<textarea><p>documentation</textarea><p>doc=u=men=ta=tion"},
    {"WordsWholeAcrossInlineTagsAndReferences", MarkupSyntax::html, "en",
     "<p><span class=\"initial\">I</span>nternationalization hyphen<b>ation</b> &#x64;ocumentation "
     "documen&shy;tation incompre<wbr>hensibility</p>",
     "<p><span class=\"initial\">I</span>n=ter=na=tion=al=iza=tion hy=phen=<b>ation</b> &#x64;oc=u=men=ta=tion "
     "documen&shy;tation incompre<wbr>hensibility</p>"},
    {"CyrillicInTheNarrowForm", MarkupSyntax::html, "ru", "<p>Пересматривается <b>до</b>кументации &#x434;окументации</p>",
     "<p>Пе=ре=смат=ри=ва=ет=ся <b>до=</b>ку=мен=та=ции &#x434;о=ку=мен=та=ции</p>"},
    {"BlocksAndLineBreaksEndWords", MarkupSyntax::html, "en", "<div>hyphen</div><div>ation</div>hyphen<br>ation",
     "<div>hy=phen</div><div>ation</div>hy=phen<br>ation"},
    {"LanguagesFollowTheDocument", MarkupSyntax::html, "en",
     "<p>Maßnahme documentation</p><p lang=\"de-CH\">Maßnahme <i>Ma&szlig;nahme</i> <span lang=en>documentation</span></p>"
     "<p lang=zxx>documentation</p><p lang=\"tlh\">documentation</p><div LANG=EN-au><p>documentation",
     "<p>Maßnahme doc=u=men=ta=tion</p><p lang=\"de-CH\">Maß=nah=me <i>Ma&szlig;=nah=me</i> <span "
     "lang=en>doc=u=men=ta=tion</span></p>"
     "<p lang=zxx>documentation</p><p lang=\"tlh\">documentation</p><div LANG=EN-au><p>doc=u=ment=a=tion"},
    {"AddressesGetNoMarks", MarkupSyntax::html, "en",
     "<p>See https://example.com/documentation, www.documentation.org or (documentation@example.com) documentation</p>",
     "<p>See https://example.com/documentation, www.documentation.org or (documentation@example.com) "
     "doc=u=men=ta=tion</p>"},
    {"TagSoupAsABrowserReadsIt", MarkupSyntax::html, "en",
     "<p lang=de>Silbentrennung<p>documentation a < b documentation<li>documentation</P><!-- documentation",
     "<p lang=de>Sil=ben=tren=nung<p>doc=u=men=ta=tion a < b doc=u=men=ta=tion<li>doc=u=men=ta=tion</P><!-- "
     "documentation"},
    {"XhtmlWithPrefixesCdataAndXmlLang", MarkupSyntax::xml, "de",
     "<?xml version=\"1.0\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p>Silbentrennung "
     "<![CDATA[Silbentrennung]]><em xml:lang=\"en\" lang=\"de\">documentation</em><br/>Silbentrennung&#160;</p>"
     "</body></html>\n",
     "<?xml version=\"1.0\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p>Sil=ben=tren=nung "
     "<![CDATA[Silbentrennung]]><em xml:lang=\"en\" lang=\"de\">doc=u=men=ta=tion</em><br/>Sil=ben=tren=nung&#160;</p>"
     "</body></html>\n"},
    {"XmlMismatchedTags", MarkupSyntax::xml, "en", "<html><p>documentation</html>", nullptr},
    {"XmlUnquotedAttribute", MarkupSyntax::xml, "en", "<html lang=en>documentation</html>", nullptr},
    {"XmlBareAmpersand", MarkupSyntax::xml, "en", "<html>a & b</html>", nullptr},
    {"XmlHtmlNameWithoutDoctype", MarkupSyntax::xml, "en", "<html>a&nbsp;b</html>", nullptr},
    {"XmlTwoRoots", MarkupSyntax::xml, "en", "<html/><html/>", nullptr},
    {"XmlTextOutsideRoot", MarkupSyntax::xml, "en", "<html/>documentation", nullptr},
    {"XmlUnclosedComment", MarkupSyntax::xml, "en", "<html><!-- a </html>", nullptr},
};

class MarkupMark : public testing::TestWithParam<Case> {};

TEST_P(MarkupMark, MarksOnlyTheTextAReaderSees)
{
    const Case& c = GetParam();
    MarkupMarkers markers;
    markers.left = 0;
    markers.right = 0;
    markers.own_set = nullptr;
    markers.shared = false;
    MarkupJob job{&markers, c.syntax, "=", {}, {}, markup_language(c.lang)};
    const std::string page(c.page);
    std::string marked;
    std::uint64_t malformed_at = 0;
    const bool ok = markup_mark(&job, reinterpret_cast<const unsigned char*>(page.data()), page.size(), &marked,
                                &malformed_at);
    markup_markers_destroy(&markers);
    if (c.marked == nullptr) {
        EXPECT_FALSE(ok);
        EXPECT_TRUE(marked.empty());
        return;
    }
    ASSERT_TRUE(ok);
    EXPECT_EQ(marked, c.marked);
    std::string unmarked = marked;
    std::erase(unmarked, '=');
    std::string page_unmarked = page;
    std::erase(page_unmarked, '=');
    EXPECT_EQ(unmarked, page_unmarked);
}

INSTANTIATE_TEST_SUITE_P(Pages, MarkupMark, testing::ValuesIn(CASES),
                         [](const testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

TEST(MarkupMark, SkipsTheUsersElementsAndClasses)
{
    MarkupMarkers markers;
    markers.left = 0;
    markers.right = 0;
    markers.own_set = nullptr;
    markers.shared = false;
    MarkupJob job{&markers, MarkupSyntax::html, "=", {"aside"}, {"no-hyphens"}, markup_language("en")};
    const std::string page =
        "<aside>documentation</aside><p class=\"x no-hyphens\">documentation</p><p class=\"no-hyphensx\">documentation";
    std::string marked;
    std::uint64_t malformed_at = 0;
    ASSERT_TRUE(markup_mark(&job, reinterpret_cast<const unsigned char*>(page.data()), page.size(), &marked,
                            &malformed_at));
    markup_markers_destroy(&markers);
    EXPECT_EQ(marked, "<aside>documentation</aside><p class=\"x no-hyphens\">documentation</p><p "
                      "class=\"no-hyphensx\">doc=u=men=ta=tion");
}

}  // namespace
