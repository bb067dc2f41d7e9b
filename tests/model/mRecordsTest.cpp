#include "AttrText.h"
#include "ObAttr.h"
#include "ObClassTypeOf.h"
#include "ScratchDir.h"
#include "TimelineTestDoc.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mPlSample.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Gives every attribute a value other than its default: what a save must carry through.
void setEveryAttr(ObObj& o, int seed)
{
    std::list<rtl::str> names;
    o.getAttrNames(names);
    int i = seed;
    for (rtl::str const& n : names) {
        ObAttr a;
        o.getAttr(n, a);
        std::string const type = a.getCDataType();
        rtl::str text;
        ++i;
        if (type == "int")
            text.set("%i", 3 + i % 90); // within every range a document may hold
        else if (type == "float" || type == "double")
            text.set("%i.25", 1 + i % 500);
        else if (type == "bool")
            text = o.getAttrAsString(n, text) && text == "True" ? "False" : "True";
        else
            text.set("%s \xc3\xbc <%i> & \"q\"", n.c(), i);
        ASSERT_TRUE(o.setAttrByString(n, text, nullptr)) << n.c();
    }
}

std::map<std::string, std::vector<AttrText>> everything()
{
    std::map<std::string, std::vector<AttrText>> out;
    auto take = [&](char const* type, Obt* t) {
        for (unsigned r = 0; r < t->getCurrentTypeCount(); ++r) {
            unsigned const addr = t->myAddrsByRosterIndex[r];
            out[std::string(type) + "#" + std::to_string(addr)] =
                describedAttrs(*t->objFromAddr(addr));
        }
    };
    take("mTimeline", tlObj::ourType_mTimeline);
    take("mLayer", tlObj::ourType_mLayer);
    take("mSkin", tlObj::ourType_mSkin);
    take("mEvent", tlObj::ourType_mEvent);
    take("mPlSample", tlObj::ourType_mPlSample);
    return out;
}

// Switches the process to a locale that writes reals with a decimal comma, for one test.
class CommaLocale
{
public:
    CommaLocale() : myOld(std::setlocale(LC_ALL, nullptr))
    {
        ok = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_ALL, myOld.c_str()); }
    bool ok;

private:
    std::string myOld;
};

} // namespace

// A reused slot holds an object as a fresh one starts, whatever its last user left in it.
TEST(mRecords, AnObjectTakenAgainFromItsPoolStartsFromTheDefaults)
{
    TimelineTestDoc doc;
    auto expectReusedAsFresh = [](auto* type, int seed) {
        SCOPED_TRACE(seed);
        Obh fresh = type->make();
        std::vector<AttrText> const defaults = describedAttrs(*type->ptr(fresh));
        Obh h = type->make();
        setEveryAttr(*type->ptr(h), seed);
        unsigned const slot = h.getAddr();
        h.dealloc();
        Obh again = type->make();
        EXPECT_EQ(again.getAddr(), slot);
        EXPECT_EQ(describedAttrs(*type->ptr(again)), defaults);
        return type->ptr(again);
    };
    mEvent* ev = expectReusedAsFresh(tlObj::ourType_mEvent, 1);
    EXPECT_FALSE(ev->getPayload().isValid());
    EXPECT_FALSE(ev->getLayerHdl().isValid());
    expectReusedAsFresh(tlObj::ourType_mLayer, 2);
    expectReusedAsFresh(tlObj::ourType_mPlSample, 3);
    mSkin* skin = expectReusedAsFresh(tlObj::ourType_mSkin, 4);
    // The skin's scene scales are 1 once it is made, whatever the record's own defaults say.
    EXPECT_EQ(skin->mSkinData::getSceneXScale(), 1);
    EXPECT_EQ(skin->mSkinData::getSceneYScale(), 1);
}

TEST(mRecords, EveryRecordRoundTripsUnderACommaDecimalLocale)
{
    CommaLocale locale;
    if (!locale.ok)
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (tools/deps generates it)";
    ScratchDir dir;
    std::string const path = dir.file("doc.xml");
    TimelineTestDoc doc;
    mTimeline& timeline = *doc.cmp.getCmpTimeline();
    setEveryAttr(timeline, 10);
    timeline.setLockToNowFlag(false); // a load always clears it
    setEveryAttr(*doc.cmp.getCmpSkin(), 20);
    // A document holds a sound model: its layers in the timeline at their places, its events
    // in a layer.
    for (int i = 0; i < 2; ++i) {
        Obh h = timeline.newLayer();
        mLayer* layer = tlObj::ourType_mLayer->ptr(h);
        setEveryAttr(*layer, 30 + i);
        layer->setIndex(i);
    }
    Obh ev = tlObj::ourType_mEvent->make();
    mEvent* event = tlObj::ourType_mEvent->ptr(ev);
    setEveryAttr(*event, 40);
    timeline.addEvent(ev, event->getStartTime(), event->getRowIndex(), timeline.getLayerHdls()[1],
                      true);
    Obh sample = tlObj::ourType_mPlSample->make();
    setEveryAttr(*tlObj::ourType_mPlSample->ptr(sample), 50);
    auto const saved = everything();
    ASSERT_EQ(saved.size(), 6u);
    EXPECT_EQ(saved.at("mEvent#0")[2].text, "44.250000") << "a real keeps its point";

    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));
    std::string message;
    ASSERT_TRUE(loadTimelineDoc(doc.cmp, path, &message)) << message;
    EXPECT_EQ(everything(), saved);
}

namespace {

// The "attr" elements of the first object of a class in a saved document, in order.
std::vector<AttrText> savedAttrsOf(std::string const& text, std::string const& cls)
{
    std::vector<AttrText> out;
    std::size_t at = text.find("<object _t=\"" + cls + "\"");
    if (at == std::string::npos)
        return out;
    std::size_t const end = text.find("</object>", at);
    auto field = [&](std::size_t from, std::size_t to, std::string const& name) {
        std::size_t const f = text.find(" " + name + "=\"", from);
        if (f >= to)
            return std::string("(none)");
        std::size_t const v = f + name.size() + 3;
        return text.substr(v, text.find('"', v) - v);
    };
    for (at = text.find("<attr ", at); at < end; at = text.find("<attr ", at + 1)) {
        std::size_t const close = text.find("/>", at);
        out.push_back({field(at, close, "_id"), field(at, close, "_t"), field(at, close, "value")});
    }
    return out;
}

std::vector<AttrText> colour(char const* name, char const* type, std::vector<char const*> values)
{
    std::vector<AttrText> out;
    char const* const channels = "RGBA";
    for (std::size_t i = 0; i < values.size(); ++i)
        out.push_back({std::string(name) + channels[i], type, values[i]});
    return out;
}

std::vector<AttrText> joined(std::vector<std::vector<AttrText>> parts)
{
    std::vector<AttrText> out;
    for (auto const& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

} // namespace

// What a document holds for objects nobody has touched yet: each record's names in its order,
// with their data types and the texts of their defaults. Older documents and other readers rely
// on every one of them.
TEST(mRecords, AFreshObjectIsSavedWithItsTableOfAttributes)
{
    std::map<std::string, std::vector<AttrText>> const expected = {
        {"mTimeline",
         {{"tick", "int", "1"},
          {"layerHidingEnabled", "bool", "False"},
          {"lockToNowFlag", "bool", "False"},
          {"layerHeaderW", "int", "120"},
          {"rowScale", "double", "30.000000"},
          {"showLayerControls", "bool", "False"}}},
        {"mLayer", joined({{{"isCurrent", "bool", "False"},
                            {"isSelected", "bool", "False"},
                            {"isActive", "bool", "True"},
                            {"isVisible", "bool", "False"},
                            {"index", "int", "-1"},
                            {"stackRowIndex", "int", "-1"},
                            {"stackIndex", "int", "-1"},
                            {"numRows", "int", "1"},
                            {"modelY", "double", "-1.000000"},
                            {"modelH", "double", "-1.000000"},
                            {"sceneY", "double", "-1.000000"},
                            {"sceneH", "double", "-1.000000"},
                            {"sceneW", "double", "-1.000000"},
                            {"paddingTop", "float", "0.200000"},
                            {"paddingBottom", "float", "0.000000"},
                            {"verticalScale", "float", "1.000000"},
                            {"alpha", "float", "1.000000"},
                            {"timeStep", "float", "1.000000"},
                            {"title", "rtl::str", "Layer"},
                            {"currentTime", "double", "0.000000"}},
                           colour("bgColor", "int", {"100", "100", "100", "80"}),
                           colour("lineColor", "int", {"120", "120", "120", "80"}),
                           colour("textColor", "int", {"255", "255", "255", "255"}),
                           {{"labelFontFamily", "rtl::str", "Gil Sans"},
                            {"labelMaxFontSize", "int", "12"},
                            {"labelMinFontSize", "int", "16"},
                            {"labelFontSize", "int", "14"},
                            {"labelFontWeight", "int", "50"},
                            {"notes", "rtl::str", ""},
                            {"keywords", "rtl::str", ""}}})},
        {"mEvent",
         joined({{{"colorStyle", "int", "1"},
                  // No start is promised before a creator sets one; a fresh record holds 0.
                  {"startTime", "double", "0.000000"},
                  {"timeLength", "double", "1.000000"},
                  {"sceneW", "double", "0.000000"},
                  {"sceneH", "double", "0.000000"},
                  {"rowIndex", "double", "0.000000"},
                  {"rowSize", "double", "1.000000"},
                  {"isActive", "bool", "True"},
                  {"isImpulse", "bool", "False"}},
                 colour("bgColor", "int", {"128", "128", "128", "255"}),
                 colour("lineColor", "int", {"128", "128", "128", "255"}),
                 colour("textColor", "int", {"128", "128", "128", "255"}),
                 {{"title", "rtl::str", ""},
                  {"notes", "rtl::str", ""},
                  {"amount", "rtl::str", ""},
                  {"units", "rtl::str", ""},
                  {"keywords", "rtl::str", ""}}})},
        {"mPlSample", {{"myAttr1", "float", "1.000000"}, {"myAttr2", "bool", "True"}}},
        {"mSkin", joined({{{"labelFontSize", "int", "12"},
                           {"labelFontFamily", "rtl::str", "Gil Sans"},
                           // A skin sets both scene scales to 1 whatever its record starts with.
                           {"sceneXScale", "int", "1"},
                           {"sceneYScale", "int", "1"}},
                          colour("panelBg", "int", {"40", "40", "40"}),
                          colour("ctrlsLabelColor", "int", {"170", "190", "190", "255"}),
                          colour("timelineBg", "int", {"20", "20", "20"}),
                          colour("timelineFg", "int", {"60", "60", "70"}),
                          colour("lineColor", "int", {"140", "160", "180"}),
                          colour("timelineTopHeaderLabel", "int", {"255", "255", "255"}),
                          {{"timelineSelectionH", "int", "20"},
                           {"timelineTopHeaderH", "int", "80"},
                           {"timelineLeftHeaderW", "int", "100"},
                           {"timelineTopRowPadH", "int", "1"}}})},
    };
    ASSERT_EQ(expected.at("mLayer").size(), 39u);
    ASSERT_EQ(expected.at("mEvent").size(), 26u);

    ScratchDir dir;
    std::string const path = dir.file("doc.xml");
    TimelineTestDoc doc;
    // The component made the timeline and the skin; the others straight from their pools.
    tlObj::ourType_mLayer->make();
    tlObj::ourType_mEvent->make();
    tlObj::ourType_mPlSample->make();
    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    for (auto const& [cls, attrs] : expected) {
        SCOPED_TRACE(cls);
        EXPECT_EQ(savedAttrsOf(all.str(), cls), attrs);
    }
}
