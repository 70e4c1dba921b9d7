#include <gtest/gtest.h>

#include "storage/text_codec.h"

using namespace tovrel;

TEST(TextCodec, Utf8RoundTripsEveryPlaneAndReplacesMalformedBytes) {
  const std::u16string text = u"a é 図面 한국 中文 \U0001F4D0";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");          // cut sequence
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");        // overlong
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80x"), u"\uFFFDx");  // encoded surrogate
  EXPECT_EQ(Utf16ToUtf8(u"\xD800"), "\xEF\xBF\xBD");    // lone surrogate
}

TEST(TextCodec, Cp1252MapsItsHighRange) {
  const Cp1252CodePage cp;
  EXPECT_EQ(cp.ToUtf16("\x80\x93\xE9\x81"), u"\u20AC\u201C\u00E9\u0081");
  EXPECT_EQ(cp.FromUtf16(u"\u20AC\u00E9図"), "\x80\xE9?");
}

TEST(TextCodec, FoldCasePairsUpperAndLowerLetters) {
  EXPECT_TRUE(EqualsIgnoreCase(u"File_Set.FP_PS[0].Search", u"file_set.fp_ps[0].search"));
  EXPECT_TRUE(EqualsIgnoreCase(u"ÀÉÖ", u"àéö"));
  EXPECT_TRUE(EqualsIgnoreCase(u"ŁĄŽŸ", u"łąžÿ"));
  EXPECT_TRUE(EqualsIgnoreCase(u"ΑΒΓ ДЖЁ", u"αβγ джё"));
  EXPECT_TRUE(EqualsIgnoreCase(u"ＡＢ", u"ａｂ"));
  EXPECT_FALSE(EqualsIgnoreCase(u"×", u"÷"));
  EXPECT_FALSE(EqualsIgnoreCase(u"図", u"面"));
}
