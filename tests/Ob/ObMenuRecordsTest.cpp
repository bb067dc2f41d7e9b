#include "ObQtMenuData.h"
#include "ObQtMitemData.h"

#include <gtest/gtest.h>

#include <string>

TEST(ObMenuRecords, MenuAndItemAttributesByName)
{
    ObQtMenuData menu;
    rtl::str text;
    ASSERT_TRUE(menu.getAttrAsString("isDynamic", text));
    EXPECT_STREQ(text.c(), "False");
    std::list<rtl::str> names;
    menu.getAttrNames(names);
    EXPECT_EQ(names.size(), 2u);
    EXPECT_STREQ(names.back().c(), "isDynamic");
    for (auto [value, expected] : {std::pair{"true", true}, {"TRUE", false}, {"t", true}, {"1", false}}) {
        menu.setAttrByString("isDynamic", value, "bool");
        EXPECT_EQ(menu.getIsDynamic(), expected) << value;
    }
    ObQtMitemData item;
    EXPECT_TRUE(item.setAttrByString("title", "New Event", "rtl::str"));
    ASSERT_TRUE(item.getAttrAsString("title", text));
    EXPECT_STREQ(text.c(), "New Event");
    EXPECT_FALSE(item.setAttrByString("isDynamic", "true", "bool"));
}
