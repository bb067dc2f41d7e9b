#include "aString.h"

#include "aList.h"
#include "aRefList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>
#include <wchar.h>

TEST(aString, NoTextAndEmptyTextAreTwoStates)
{
    aString none;
    aString empty("");
    EXPECT_EQ(none.c(), nullptr);
    ASSERT_NE(empty.c(), nullptr);
    EXPECT_FALSE(empty.IsValid());
    EXPECT_TRUE(empty.asBool());
    EXPECT_TRUE(none.IsEqual(nullptr));
    EXPECT_FALSE(empty.IsEqual(nullptr));
    EXPECT_FALSE(none == empty);

    // Assigning "" and copying an empty text both leave no text.
    empty = "";
    EXPECT_TRUE(empty.IsEqual(nullptr));
    aString emptySource("");
    aString copied(emptySource);
    EXPECT_FALSE(copied.asBool());

    EXPECT_STREQ(aString("hello", 3).c(), "he" "l");
    EXPECT_STREQ(aString("hi", 10).c(), "hi");
    EXPECT_STREQ(aString("hi", 0).c(), "");
    EXPECT_EQ(aString(nullptr, 3).c(), nullptr);

    aString repeat;
    repeat.Repeat(0, 'x');
    EXPECT_STREQ(repeat.c(), "");
    repeat.Repeat(-1, 'x');
    EXPECT_EQ(repeat.c(), nullptr);
}

TEST(aString, SetStringMayReadItsOwnText)
{
    aString s("abcdef");
    s.SetString(s.c() + 2);
    EXPECT_STREQ(s.c(), "cdef");
    s.Append(s.c());
    EXPECT_STREQ(s.c(), "cdefcdef");
    s.SetPrintable(s.c(), nullptr, nullptr, nullptr, nullptr, false);
    EXPECT_STREQ(s.c(), "cdefcdef");
    EXPECT_TRUE(s.GetSubstring("f", nullptr, s));
    EXPECT_STREQ(s.c(), "cdef");
}

TEST(aString, NumbersAndFormatting)
{
    aString s("n=");
    s += 3;
    s += 0.5;
    EXPECT_STREQ(s.c(), "n=30.500000");

    // A first attempt too small for the result, a second sized to it.
    std::string longText(250, 'q');
    s.Set("%s", longText.c_str());
    EXPECT_EQ(s.Length(), 250);
    EXPECT_EQ(longText, s.c());

    s.Set("%s", "");
    EXPECT_EQ(s.c(), nullptr);
}

TEST(aString, HugeNumbersAreWrittenWhole)
{
    // 309 digits and ".000000": far beyond the 32 bytes most numbers need, neither cut nor overrun.
    aString s(DBL_MAX);
    EXPECT_EQ(s.Length(), 316);
    EXPECT_EQ(std::strncmp(s.c(), "1797693134862315", 16), 0);
    EXPECT_STREQ(s.c() + 309, ".000000");
    s.Append(-DBL_MAX);
    EXPECT_EQ(s.Length(), 633);
    EXPECT_EQ(s.c()[316], '-');
}

TEST(aString, FormatterErrorsAreGivenUp)
{
    // A wide character the "C" locale cannot convert fails at every size.
    wchar_t const bad[] = {0x4e2d, 0};
    aString s("kept");
    testing::internal::CaptureStdout();
    s.Set("%ls", bad);
    std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_STREQ(s.c(), "kept");
    EXPECT_THAT(trace, testing::HasSubstr("cannot format"));
}

TEST(aString, CountAndReplace)
{
    aString s("abab");
    EXPECT_EQ(s.Replace("ab", "x", false), 2);
    EXPECT_STREQ(s.c(), "xx");

    s = "ABab";
    EXPECT_EQ(s.Count("ab", false), 1);
    EXPECT_EQ(s.Count("ab", true), 2);
    EXPECT_EQ(s.Replace("ab", "xyz", true), 2);
    EXPECT_STREQ(s.c(), "xyzxyz");

    s = "aaaa";
    EXPECT_EQ(s.Count("aa", false), 2);
    s = "aaa";
    EXPECT_EQ(s.Replace("aa", "a", false), 1); // no overlap, no rescanning
    EXPECT_STREQ(s.c(), "aa");

    s = "ab";
    EXPECT_EQ(s.Replace("abc", "x", false), 0);
    s = "a-b-c";
    EXPECT_EQ(s.Replace("-", nullptr, false), 2);
    EXPECT_STREQ(s.c(), "abc");

    s = "a/b/c";
    EXPECT_EQ(s.ReplaceChar('/', "::"), 2);
    EXPECT_STREQ(s.c(), "a::b::c");
    EXPECT_EQ(s.ReplaceChar(':', ""), 4);
    EXPECT_STREQ(s.c(), "abc");
    EXPECT_EQ(s.ReplaceChar('b', 'B'), 1);
    EXPECT_STREQ(s.c(), "aBc");
    EXPECT_EQ(s.ContainsChar('c'), 1);

    s = "a b(c)";
    s.Shellify();
    EXPECT_STREQ(s.c(), "a\\ b\\(c\\)");
    s = "x\\\"y";
    s.Shellify();
    EXPECT_STREQ(s.c(), "x\\\"y");
}

TEST(aString, StripJustifyCrop)
{
    aString s("  ");
    s.Strip(" ", true, true);
    EXPECT_STREQ(s.c(), ""); // an empty text, not no text
    s = "  x ";
    s.Strip(" ", true, true);
    EXPECT_STREQ(s.c(), "x");
    s = "--x--";
    s.Strip("-", false, true);
    EXPECT_STREQ(s.c(), "--x");
    s.Strip(nullptr, true, true);
    EXPECT_STREQ(s.c(), "--x");

    s = "42";
    s.Rjust(5, '0');
    EXPECT_STREQ(s.c(), "00042");
    s.Rjust(1, '0');
    EXPECT_STREQ(s.c(), "0");
    s = "ab";
    s.Ljust(4, '.');
    EXPECT_STREQ(s.c(), "ab..");
    s.Ljust(0, '.');
    EXPECT_STREQ(s.c(), "");
    s.Ljust(-1, '.');
    EXPECT_EQ(s.c(), nullptr);
    s.Rjust(3, '*');
    EXPECT_STREQ(s.c(), "***");

    s = "hello";
    EXPECT_TRUE(s.LCropToLength(2));
    EXPECT_STREQ(s.c(), "lo");
    EXPECT_FALSE(s.CropToLength(9));
    EXPECT_TRUE(s.CropToLength(-3)); // more removed than there is: nothing left
    EXPECT_STREQ(s.c(), "");
}

TEST(aString, TrailingNumbersAndSubstrings)
{
    EXPECT_EQ(aString("123").CountTrailingNumbers(), 3);
    EXPECT_EQ(aString("7").GetTrailingNumbersAsInt(), 7);
    EXPECT_EQ(aString("x").GetTrailingNumbersAsInt(), -1);
    EXPECT_EQ(aString().CountTrailingNumbers(), 0);

    aString s("key = value;");
    aString piece("old");
    EXPECT_TRUE(s.GetSubstring(" =", ";", piece));
    EXPECT_STREQ(piece.c(), "value");
    EXPECT_TRUE(s.GetSubstring(nullptr, " ", piece));
    EXPECT_STREQ(piece.c(), "key");
    EXPECT_FALSE(s.GetSubstring("#", nullptr, piece));
    EXPECT_STREQ(piece.c(), "key");
    EXPECT_STREQ(s.c(), "key = value;");
}

TEST(aString, PrintableEscapes)
{
    char const src[] = {'a', '\t', 'b', '\n', 1, static_cast<char>(0xff), 0};
    aString s("> ");
    s.AppendPrintable(src, "[t]", "[n]", "[ascii(", ")]", true);
    EXPECT_STREQ(s.c(), "> a[t]b[n][ascii(1)][ascii(-1)]");
    s.SetPrintable("a\tb", nullptr, nullptr, nullptr, nullptr, true);
    EXPECT_STREQ(s.c(), "a9b"); // an unreplaced tab is escaped without prefix and suffix
}

TEST(aString, Tokenizing)
{
    aRefList<aString> refs;
    aString s(",a,,b,");
    EXPECT_EQ(s.Tokenize(refs, ","), 2);
    EXPECT_EQ(aString::Tokenize(nullptr, refs, ","), 0);
    ASSERT_EQ(refs.Length(), 2);
    EXPECT_STREQ(refs.GetHeadItem().RefGetData()->c(), "a");
    EXPECT_STREQ(refs.GetTailItem().RefGetData()->c(), "b");

    auto cut = [](char const* text, int max, int expectCount) {
        aList<aString*> list;
        EXPECT_EQ(aString::NewTokens(text, list, ",", max), expectCount);
        std::string seen;
        for (aListEl<aString*>* el = list.GetHead(); el; el = el->Next()) {
            seen += el->GetData()->c() ? el->GetData()->c() : "<none>";
            seen += '|';
            delete el->GetData();
        }
        return seen;
    };
    EXPECT_EQ(cut("a,b,c,d", 2, 2), "a|b|c,d|");
    EXPECT_EQ(cut("a,b,", 2, 2), "a|b||");
    EXPECT_EQ(cut("a,b", 2, 2), "a|b|<none>|");
    EXPECT_EQ(cut(",a,,b,", 0, 2), "a|b|");
}
