#include "ObRecord.h"


#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <list>
#include <string>
#include <vector>

namespace {

#define BASE_ATTRS(A) A(int, count, Count, 7) A(rtl::str, title, Title, "none")
#define DERIVED_ATTRS(A)                  \
    A(bool, shown, Shown, true)           \
    A(float, share, Share, 0.5f)          \
    A(double, level, Level, -1.0)         \
    A(rtl::str, note, Note, {})

class BaseRec : public ObObj
{
    OB_RECORD(BaseRec, ObObj, BASE_ATTRS)
};

class DerivedRec : public BaseRec
{
    OB_RECORD(DerivedRec, BaseRec, DERIVED_ATTRS)
};

// A class on a record that refuses negative counts and records every hook call.
class Watched : public DerivedRec
{
public:
    bool checkCount(int v) const override { return v >= 0; }
    void hookCount(int old, int now) override { calls.push_back(std::to_string(old) + ">" + std::to_string(now)); }
    std::vector<std::string> calls;
};

std::vector<std::string> namesOf(ObObj const& o)
{
    std::list<rtl::str> names;
    o.getAttrNames(names);
    std::vector<std::string> out;
    for (auto const& n : names)
        out.emplace_back(n.c());
    return out;
}

std::string text(ObObj const& o, char const* name)
{
    rtl::str t;
    return o.getAttrAsString(rtl::str(name), t) ? std::string(t.c()) : std::string("<none>");
}

std::string dataType(ObObj const& o, char const* name)
{
    ObAttr a;
    return o.getAttr(rtl::str(name), a) ? std::string(a.getCDataType()) : std::string("<none>");
}

} // namespace

TEST(ObRecord, DerivedNamesComeBeforeTheBaseNamesInDeclarationOrder)
{
    EXPECT_EQ(namesOf(DerivedRec()),
              (std::vector<std::string>{"shown", "share", "level", "note", "count", "title"}));
}

TEST(ObRecord, DefaultsAndTextsOfEveryKind)
{
    DerivedRec r;
    EXPECT_EQ(text(r, "shown"), "True");
    EXPECT_EQ(text(r, "share"), "0.500000");
    EXPECT_EQ(text(r, "level"), "-1.000000");
    EXPECT_EQ(text(r, "note"), "");
    EXPECT_EQ(text(r, "count"), "7");
    EXPECT_EQ(text(r, "title"), "none");
    EXPECT_EQ(text(r, "missing"), "<none>");
}

TEST(ObRecord, DataTypeNamesFollowTheKinds)
{
    DerivedRec r;
    EXPECT_EQ(dataType(r, "shown"), "bool");
    EXPECT_EQ(dataType(r, "share"), "float");
    EXPECT_EQ(dataType(r, "level"), "double");
    EXPECT_EQ(dataType(r, "count"), "int");
    EXPECT_EQ(dataType(r, "title"), "rtl::str");
    EXPECT_EQ(dataType(r, "Title"), "<none>");
}

TEST(ObRecord, SetterAsksTheCheckThenStoresAndHooksEvenWithoutAChange)
{
    Watched w;
    EXPECT_FALSE(w.setCount(-3));
    EXPECT_EQ(w.getCount(), 7);
    EXPECT_TRUE(w.setCount(9));
    EXPECT_TRUE(w.setCount(9));
    EXPECT_EQ(w.calls, (std::vector<std::string>{"7>9", "9>9"}));
}

TEST(ObRecord, ReadingByNameStoresWithoutCheckOrHook)
{
    Watched w;
    EXPECT_TRUE(w.setAttrByString(rtl::str("count"), rtl::str("-4"), "int"));
    EXPECT_EQ(w.getCount(), -4);
    EXPECT_TRUE(w.calls.empty());
    // An empty text replaces the default and holds no buffer of its own.
    EXPECT_TRUE(w.setAttrByString(rtl::str("title"), rtl::str(""), "string"));
    EXPECT_EQ(text(w, "title"), "");
    EXPECT_TRUE(w.getTitle().isNull());
}

TEST(ObRecord, BoolTextsAreTrueOnlyForTheFourSpellings)
{
    DerivedRec r;
    for (char const* t : {"T", "True", "t", "true"}) {
        r.myShown = false;
        r.setAttrByString(rtl::str("shown"), rtl::str(t), "bool");
        EXPECT_TRUE(r.getShown()) << t;
    }
    for (char const* t : {"TRUE", "1", "yes", ""}) {
        r.myShown = true;
        r.setAttrByString(rtl::str("shown"), rtl::str(t), "bool");
        EXPECT_FALSE(r.getShown()) << t;
    }
}

TEST(ObRecord, NumbersOutOfRangeAreClampedAndNumbersMustBeWholeAndFinite)
{
    DerivedRec r;
    r.setAttrByString(rtl::str("count"), rtl::str("99999999999"), "int");
    EXPECT_EQ(r.getCount(), std::numeric_limits<int>::max());
    r.setAttrByString(rtl::str("count"), rtl::str("-99999999999"), "int");
    EXPECT_EQ(r.getCount(), std::numeric_limits<int>::min());
    for (auto const& [text, expect] :
         std::vector<std::pair<char const*, int>> {{"-12", -12}, {"+7", 7}, {"007", 7}}) {
        EXPECT_TRUE(r.setAttrByString(rtl::str("count"), rtl::str(text), "int")) << text;
        EXPECT_EQ(r.getCount(), expect) << text;
    }
    // A text that is not wholly a number is refused and leaves the value as it was.
    for (char const* text : {" 5", "5 ", "5x", "x", "", "-", "1.5", "1e2", "0x10"})
        EXPECT_FALSE(r.setAttrByString(rtl::str("count"), rtl::str(text), "int")) << text;
    EXPECT_EQ(r.getCount(), 7);
    r.setAttrByString(rtl::str("share"), rtl::str("1e300"), "float");
    EXPECT_EQ(r.getShare(), std::numeric_limits<float>::max());
    for (auto const& [text, expect] : std::vector<std::pair<char const*, double>> {
             {"-0.250000", -0.25}, {"+2", 2}, {"1e3", 1000}, {".5", 0.5}, {"3.", 3}}) {
        EXPECT_TRUE(r.setAttrByString(rtl::str("level"), rtl::str(text), "double")) << text;
        EXPECT_EQ(r.getLevel(), expect) << text;
    }
    for (char const* text :
         {"nan", "-inf", "1e999", "abc", "", " 2.5", "2.5x", "0,5", ".", "1e", "0x1p3"})
        EXPECT_FALSE(r.setAttrByString(rtl::str("level"), rtl::str(text), "double")) << text;
    EXPECT_EQ(r.getLevel(), 3.0);
}

TEST(ObRecord, RealsAreWrittenAndReadInTheCLocaleWhateverTheUsersLocale)
{
    char const* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string const saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale here";
    DerivedRec r;
    r.setAttrByString(rtl::str("level"), rtl::str("2.25"), "double");
    std::string const written = text(r, "level");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(r.getLevel(), 2.25);
    EXPECT_EQ(written, "2.250000");
}

TEST(ObRecord, ResetBringsEveryAttributeBackToItsDefault)
{
    DerivedRec r;
    r.setCount(1);
    r.setTitle(rtl::str("x"));
    r.setShown(false);
    r.setNote(rtl::str("y"));
    r.resetAttrs();
    BaseRec& base = r;
    base.resetAttrs();
    EXPECT_EQ(text(r, "count"), "7");
    EXPECT_EQ(text(r, "title"), "none");
    EXPECT_EQ(text(r, "shown"), "True");
    EXPECT_EQ(text(r, "note"), "");
}

TEST(ObRecord, TheFieldTableReachesTheMembers)
{
    DerivedRec r;
    auto fields = DerivedRec::fields();
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[2].kind, ObAttrKind::Double);
    r.*(fields[2].d) = 4.5;
    EXPECT_EQ(r.getLevel(), 4.5);
}
