#include "ObAttr.h"
#include "ObQtMenuData.h"
#include "ObQtMitemData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string text(ObObj const& o, char const* name)
{
    rtl::str t;
    EXPECT_TRUE(o.getAttrAsString(name, t));
    return t.c();
}

std::vector<std::string> names(ObObj const& o)
{
    std::list<rtl::str> list;
    o.getAttrNames(list);
    std::vector<std::string> out;
    for (auto const& n : list)
        out.push_back(n.c());
    return out;
}

struct CountedMenu : ObQtMenuData
{
    void hookIsDynamic(bool old, bool nu) override { seen.push_back(std::to_string(old) + std::to_string(nu)); }
    std::vector<std::string> seen;
};

} // namespace

TEST(ObMenuRecords, MenuAndItemAttributes)
{
    CountedMenu menu;
    EXPECT_EQ(names(menu), (std::vector<std::string>{"title", "isDynamic"}));
    EXPECT_EQ(text(menu, "title"), "");
    EXPECT_EQ(text(menu, "isDynamic"), "False");
    ObAttr desc;
    EXPECT_TRUE(menu.getAttr("isDynamic", desc));
    EXPECT_STREQ(desc.getCDataType(), "bool");

    EXPECT_TRUE(menu.setAttrByString("isDynamic", "true", "bool"));
    EXPECT_TRUE(menu.getIsDynamic());
    for (char const* no : {"TRUE", "1"}) {
        menu.setAttrByString("isDynamic", "t", "bool");
        menu.setAttrByString("isDynamic", no, "bool");
        EXPECT_FALSE(menu.getIsDynamic()) << no;
    }
    EXPECT_TRUE(menu.seen.empty()); // reading runs no hook
    menu.setIsDynamic(true);
    menu.setIsDynamic(true);
    EXPECT_EQ(menu.seen, (std::vector<std::string>{"01", "11"}));
    menu.setTitle("File");
    EXPECT_EQ(text(menu, "title"), "File");
    EXPECT_FALSE(menu.setAttrByString("shortcut", "E", nullptr));

    ObQtMitemData item;
    EXPECT_EQ(names(item), (std::vector<std::string>{"title"}));
    EXPECT_TRUE(item.setAttrByString("title", "New Event", "rtl::str"));
    EXPECT_EQ(text(item, "title"), "New Event");
    EXPECT_TRUE(item.getAttr("title", desc));
    EXPECT_STREQ(desc.getCDataType(), "rtl::str");
    EXPECT_FALSE(item.getAttr("isDynamic", desc));
}
