#include "ObAttr.h"
#include "ObDoc.h"
#include "ObQtCmp.h"
#include "ObQtMenuData.h"
#include "ObQtMitemData.h"

#include <gtest/gtest.h>

#include <list>
#include <string>

namespace {

std::string show(rtl::str const& v)
{
    return v.cs();
}

std::string show(float v)
{
    return std::to_string(v);
}

std::string show(bool v)
{
    return v ? "true" : "false";
}

// What a record's checks and hooks saw: "check <new> over <current>; " and "hook <old> > <new>; ".
struct Watch
{
    mutable std::string log;
    bool refuse = false;
    template <class V> bool see(V const& value, V const& current) const
    {
        log += "check " + show(value) + " over " + show(current) + "; ";
        return !refuse;
    }
    template <class V> void heard(V const& old, V const& value)
    {
        log += "hook " + show(old) + " > " + show(value) + "; ";
    }
};

struct WatchedDoc : ObDoc, Watch
{
    bool checkPath(rtl::str v) const override { return see(v, myPath); }
    bool checkName(rtl::str v) const override { return see(v, myName); }
    bool checkNeedsSave(bool v) const override { return see(v, myNeedsSave); }
    void hookPath(rtl::str o, rtl::str n) override { heard(o, n); }
    void hookName(rtl::str o, rtl::str n) override { heard(o, n); }
    void hookNeedsSave(bool o, bool n) override { heard(o, n); }
};

struct WatchedCmp : ObQtCmp, Watch
{
    bool checkName(rtl::str v) const override { return see(v, myName); }
    bool checkVersion(float v) const override { return see(v, myVersion); }
    void hookName(rtl::str o, rtl::str n) override { heard(o, n); }
    void hookVersion(float o, float n) override { heard(o, n); }
};

struct WatchedMenu : ObQtMenuData, Watch
{
    bool checkTitle(rtl::str v) const override { return see(v, myTitle); }
    bool checkIsDynamic(bool v) const override { return see(v, myIsDynamic); }
    void hookTitle(rtl::str o, rtl::str n) override { heard(o, n); }
    void hookIsDynamic(bool o, bool n) override { heard(o, n); }
};

struct WatchedMitem : ObQtMitemData, Watch
{
    bool checkTitle(rtl::str v) const override { return see(v, myTitle); }
    void hookTitle(rtl::str o, rtl::str n) override { heard(o, n); }
};

// The setter asks the check with the new value before it stores it, then calls the hook with the
// old and the new value; a refusing check keeps the value and calls no hook. Reading by name
// (what a document load does) stores without either.
template <class R, class V, class Base>
void setterContract(R& r, bool (Base::*set)(V), V (Base::*get)() const, char const* attr, V a, V b,
                    char const* bText)
{
    SCOPED_TRACE(attr);
    r.refuse = false;
    r.log.clear();
    V const before = (r.*get)();
    EXPECT_TRUE((r.*set)(a));
    EXPECT_EQ(show((r.*get)()), show(a));
    EXPECT_EQ(r.log, "check " + show(a) + " over " + show(before) + "; hook " + show(before) +
                         " > " + show(a) + "; ");
    r.refuse = true;
    r.log.clear();
    EXPECT_FALSE((r.*set)(b));
    EXPECT_EQ(show((r.*get)()), show(a));
    EXPECT_EQ(r.log, "check " + show(b) + " over " + show(a) + "; ");
    r.log.clear();
    EXPECT_TRUE(r.setAttrByString(rtl::str(attr), rtl::str(bText), nullptr));
    EXPECT_EQ(show((r.*get)()), show(b));
    EXPECT_EQ(r.log, "");
}

std::list<rtl::str> namesAfter(ObObj const& o, char const* first)
{
    std::list<rtl::str> names {rtl::str(first)};
    o.getAttrNames(names);
    return names;
}

std::string joined(std::list<rtl::str> const& names)
{
    std::string s;
    for (auto const& n : names)
        s += std::string(n.cs()) + " ";
    return s;
}

} // namespace

TEST(ObRecords, SettersCheckStoreAndHookWhileReadingBypassesBoth)
{
    WatchedDoc doc;
    setterContract(doc, &ObDocData::setPath, &ObDocData::getPath, "path", rtl::str("/a.orstime"),
                   rtl::str("/b.orstime"), "/b.orstime");
    setterContract(doc, &ObDocData::setName, &ObDocData::getName, "name", rtl::str("A"),
                   rtl::str("B"), "B");
    setterContract(doc, &ObDocData::setNeedsSave, &ObDocData::getNeedsSave, "needsSave", true,
                   false, "False");
    WatchedCmp cmp;
    setterContract(cmp, &ObQtCmpData::setName, &ObQtCmpData::getName, "name", rtl::str("timeline"),
                   rtl::str("other"), "other");
    setterContract(cmp, &ObQtCmpData::setVersion, &ObQtCmpData::getVersion, "version", 2.5f, 3.25f,
                   "3.25");
    WatchedMenu menu;
    setterContract(menu, &ObQtMenuData::setTitle, &ObQtMenuData::getTitle, "title",
                   rtl::str("Edit"), rtl::str("View"), "View");
    setterContract(menu, &ObQtMenuData::setIsDynamic, &ObQtMenuData::getIsDynamic, "isDynamic",
                   true, false, "F");
    WatchedMitem item;
    setterContract(item, &ObQtMitemData::setTitle, &ObQtMitemData::getTitle, "title",
                   rtl::str("Undo"), rtl::str("Redo"), "Redo");
}

// A record appends its own names after what a derived record listed before calling it.
TEST(ObRecords, ListTheirNamesAfterADerivedRecordsAndAnswerByName)
{
    EXPECT_EQ(joined(namesAfter(ObDoc(), "winX")), "winX path name needsSave ");
    EXPECT_EQ(joined(namesAfter(ObQtCmp(), "panels")), "panels name version ");
    EXPECT_EQ(joined(namesAfter(ObQtMenuData(), "x")), "x title isDynamic ");
    EXPECT_EQ(joined(namesAfter(ObQtMitemData(), "x")), "x title ");

    ObQtMenuData menu;
    rtl::str text;
    ASSERT_TRUE(menu.getAttrAsString("isDynamic", text));
    EXPECT_STREQ(text.cs(), "False");
    for (auto [value, expected] :
         {std::pair {"true", true}, {"TRUE", false}, {"t", true}, {"1", false}}) {
        menu.setAttrByString("isDynamic", value, "bool");
        EXPECT_EQ(menu.getIsDynamic(), expected) << value;
    }
    ObQtMitemData item;
    EXPECT_FALSE(item.setAttrByString("isDynamic", "true", "bool"))
        << "a name the record does not have";
    ObQtCmp cmp;
    ASSERT_TRUE(cmp.getAttrAsString("version", text));
    EXPECT_STREQ(text.cs(), "1.000000");
    ObAttr attr;
    ASSERT_TRUE(cmp.getAttr("version", attr));
    EXPECT_STREQ(attr.getCDataType(), "float");
}
