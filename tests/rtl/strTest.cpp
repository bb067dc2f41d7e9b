#include "str.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

using rtl::str;

namespace rtl {

// A failing comparison shows the text, or that there is none.
void PrintTo(str const& s, std::ostream* os)
{
    if (s.c())
        *os << '"' << s.c() << '"';
    else
        *os << "(no text)";
}

} // namespace rtl

namespace {

char const* const None = nullptr;

std::vector<std::string> texts(std::vector<str> const& v)
{
    std::vector<std::string> out;
    for (str const& s : v)
        out.push_back(s.cs());
    return out;
}

} // namespace

TEST(str, CopiesShareAndAssignmentFromTextDoesNot)
{
    str a("x");
    str b(a);
    EXPECT_EQ(a.get(), b.get());
    EXPECT_EQ(a.getCount(), 2);
    b += "y";
    EXPECT_EQ(a, "xy");

    b = "fresh";
    EXPECT_EQ(a, "xy");
    EXPECT_EQ(b, "fresh");
    EXPECT_EQ(a.getCount(), 1);

    // The + operators append in place and return the left-hand handle.
    str c(a);
    str& r = a + "z";
    EXPECT_EQ(&r, &a);
    EXPECT_EQ(c, "xyz");
    a + 1;
    EXPECT_EQ(c, "xyz1");

    // Sharing a handle's own text appends it to itself.
    c += a;
    EXPECT_EQ(a, "xyz1xyz1");

    // An empty handle shares through +, gets a copy through +=.
    str e1, e2;
    e1 + a;
    EXPECT_EQ(e1.get(), a.get());
    e2 += a;
    EXPECT_NE(e2.get(), a.get());
    EXPECT_EQ(e2, "xyz1xyz1");

    // Assignment shares; assigning an empty handle lets go.
    str d;
    d = b;
    EXPECT_EQ(d.get(), b.get());
    d = str();
    EXPECT_EQ(d.get(), nullptr);
    EXPECT_EQ(b.getCount(), 1);

    // The number forms give fresh text too; pad never cuts a wider number.
    str n(b);
    n.pad(7, 3);
    EXPECT_EQ(b, "fresh");
    EXPECT_EQ(n, "007");
    n.pad(123, 2);
    EXPECT_EQ(n, "123");
}

TEST(str, InPlaceChangesReachEveryCopy)
{
    str a("  a.b.c  ");
    str b(a);
    a.strip(" ", true, true);
    EXPECT_EQ(b.replace('.', '/'), 2);
    EXPECT_EQ(a.replace("/", "::", false), 2);
    EXPECT_EQ(b, "a::b::c");
    b.prepend("<");
    a.append(">");
    EXPECT_EQ(b, "<a::b::c>");
    EXPECT_TRUE(a.crop(4));
    EXPECT_TRUE(b.lshorten(1));
    EXPECT_EQ(a, "a::");
    a.getChar(-1) = 'Z';
    a[0] = 'Y';
    EXPECT_EQ(b, "Y:Z");

    // stripsuf gives only this handle the shorter text.
    str doc("doc.old.txt");
    str other(doc);
    doc.stripsuf('.');
    EXPECT_EQ(doc, "doc.old");
    EXPECT_EQ(other, "doc.old.txt");

    // set with a null format empties the shared text; c() is then null.
    str shared("gone");
    str copy(shared);
    shared.set(None);
    EXPECT_EQ(copy.c(), nullptr);
    EXPECT_STREQ(copy.cs(), "");

    // On an empty handle the growing changes make a text; the others do nothing.
    str e;
    EXPECT_FALSE(e.crop(0));
    EXPECT_EQ(e.replace("a", "b", false), 0);
    e.strip(" ", true, true);
    e += "";
    EXPECT_EQ(e.get(), nullptr);
    e.rjustMe(3, '0');
    EXPECT_EQ(e, "000");
}

TEST(str, StatesAndTheirReaders)
{
    str empty;
    str noText(None);
    str blank("");
    EXPECT_STREQ(empty.c(), "");
    EXPECT_EQ(noText.c(), nullptr);
    EXPECT_STREQ(noText.cs(), "");
    EXPECT_NE(blank.c(), nullptr);
    for (str const* s : {&empty, &noText}) {
        EXPECT_TRUE(*s == None);
        EXPECT_FALSE(*s == "");
        EXPECT_FALSE(*s == std::string());
        EXPECT_FALSE(static_cast<bool>(*s));
        EXPECT_EQ(s->size(), 0);
    }
    // operator! is the handle's: true only without an aString, whatever text that holds.
    EXPECT_TRUE(!empty);
    EXPECT_FALSE(!noText);
    EXPECT_FALSE(!blank);
    EXPECT_EQ(blank, "");
    EXPECT_FALSE(blank == None);
    EXPECT_TRUE(blank == std::string());
    EXPECT_FALSE(static_cast<bool>(blank));

    // Out-of-range reads give a NUL, even after someone wrote into the last one.
    str abc("abc");
    EXPECT_EQ(abc.getChar(-1), 'c');
    EXPECT_EQ(abc.getChar(-3), 'a');
    abc.getChar(3) = 'x';
    EXPECT_EQ(abc.getChar(-4), '\0');
    EXPECT_EQ(empty[0], '\0');
    EXPECT_STREQ(abc.c(), "abc");

    EXPECT_FALSE(str("a").endswith(".txt"));
    EXPECT_FALSE(str("abc").startswith(""));
    EXPECT_FALSE(noText.startswith("a"));

    struct
    {
        char const* text;
        int type;
    } const numbers[] = {{"007", 1}, {"1.5", -1}, {".", -1}, {"1.2.3", 0}, {"-3", 0}, {"", 0}};
    for (auto const& n : numbers)
        EXPECT_EQ(str(n.text).numericType(), n.type) << n.text;
}

TEST(str, OrderPutsStringsWithoutTextFirst)
{
    std::set<str> keys{str("a"), str(""), str(), str("B"), str("ab")};
    std::vector<std::string> seen;
    for (str const& k : keys)
        seen.push_back(k.get() ? k.cs() : "<empty handle>");
    EXPECT_EQ(seen, (std::vector<std::string>{"<empty handle>", "", "B", "a", "ab"}));

    // Both states without text are one key.
    std::map<str, int> m;
    m[str()] = 1;
    m[str(None)] = 2;
    EXPECT_EQ(m.size(), 1u);
    EXPECT_TRUE(str() == str(None));
    EXPECT_TRUE(str("a") != str(""));
    EXPECT_TRUE(str() >= str(None));
    EXPECT_FALSE(str() >= str("a"));
}

TEST(str, Formatting)
{
    str s;
    s.set("%s-%03d", "take", 7);
    EXPECT_EQ(s, "take-007");
    std::string longText(150, 'w');
    str copy(s);
    s.set("[%s]", longText.c_str());
    EXPECT_EQ(s.size(), 152);
    EXPECT_EQ(copy, "take-007");
    s.set("%s", "");
    EXPECT_STREQ(s.c(), ""); // an empty text, not no text

    // A formatter that fails at every size is given up: the text stays.
    wchar_t const bad[] = {0x4e2d, 0};
    testing::internal::CaptureStdout();
    copy.set("%ls", bad);
    EXPECT_THAT(testing::internal::GetCapturedStdout(), testing::HasSubstr("cannot format"));
    EXPECT_EQ(copy, "take-007");

    EXPECT_EQ(str("a\tb\n").invisibles(), "a[t]b[n]");
    EXPECT_EQ(str().invisibles().get(), nullptr);
}

TEST(str, SplitAndTokenize)
{
    std::vector<str> out;
    str("a,,b,").split(",", out, -1, false);
    EXPECT_EQ(texts(out), (std::vector<std::string>{"a", "b", ""}));
    out.clear();
    str("a,,b,").split(",", out, -1, true);
    EXPECT_EQ(texts(out), (std::vector<std::string>{"a", "", "b", ""}));
    out.clear();
    str("a,b,c").split(",", out, 1, false);
    EXPECT_EQ(texts(out), (std::vector<std::string>{"a", "b,c"}));
    out.clear();
    str("a;b").split(nullptr, out, -1, false);
    str(None).split(",", out, -1, false);
    EXPECT_EQ(texts(out), (std::vector<std::string>{"a;b"}));

    out.assign(1, str("kept"));
    str("/Users/x/doc").tokenize("/", out, -1);
    EXPECT_EQ(texts(out), (std::vector<std::string>{"kept", "Users", "x", "doc"}));
    out.clear();
    str("a,b,,c,d").tokenize(",", out, 2);
    EXPECT_EQ(texts(out), (std::vector<std::string>{"a", "b", ",c,d"}));
    out.clear();
    str("a,b").tokenize(",", out, 2); // nothing left behind the last token
    EXPECT_EQ(texts(out), (std::vector<std::string>{"a", "b"}));
}

TEST(str, NewValuesLeaveTheHandleAlone)
{
    str hello("hello");
    EXPECT_EQ(hello.subStr(2, 10), "llo");
    EXPECT_STREQ(hello.subStr(0, 0).c(), "");
    EXPECT_STREQ(hello.subStr(9, 1).c(), "");
    EXPECT_STREQ(hello.subStr(-1, 2).c(), "");

    EXPECT_EQ(str("/a/b").head('/'), "/a");
    EXPECT_EQ(str("/a").head('/').get(), nullptr);
    EXPECT_EQ(str("/abc").tail('/'), "abc");
    EXPECT_EQ(str().tail('/').get(), nullptr);

    EXPECT_EQ(hello.ljust(7, '.'), "hello..");
    EXPECT_EQ(hello.rjust(2, '.'), "he");
    EXPECT_EQ(str().rjust(2, '.'), "..");
    EXPECT_EQ(hello.repeated(3, '-'), "---");
    EXPECT_EQ(hello.cropped(2), "he");
    EXPECT_EQ(hello.lcropped(2), "lo");
    EXPECT_EQ(str("").cropped(0).c(), nullptr);
    EXPECT_EQ(hello, "hello");

    EXPECT_EQ(str().getTrailingNumbersAsInt(), -1);
    str v("v12");
    v.stripTrailingNumbers();
    EXPECT_EQ(v, "v");
    EXPECT_EQ(str("aAaa").count("aa", true), 2);
    EXPECT_EQ(str("a/b/c").countChar('/', false), 2);
}

TEST(str, RightmostNumberField)
{
    str prefix("p"), number, suffix;
    testing::internal::CaptureStdout(); // it traces every character
    str("take12b").seperateRightmostNumberField(prefix, number, suffix);
    EXPECT_EQ(prefix, "take");
    EXPECT_EQ(number, "12");
    EXPECT_EQ(suffix, "b");

    str self("v1x23");
    self.seperateRightmostNumberField(self, number, suffix); // the text is read first
    str("word").seperateRightmostNumberField(prefix, number, suffix);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(self, "v1x");
    EXPECT_EQ(prefix, "");
    EXPECT_EQ(number, "");
    EXPECT_EQ(suffix, "word");
}

TEST(strDeathTest, PlusOfTwoSharersStops)
{
    str a("x");
    str b(a);
    EXPECT_DEATH(a + b, "ASSERTION FAILED: \\(get\\(\\)!=s\\.get\\(\\)\\) \\|\\| \\(!get\\(\\)\\)");
}
