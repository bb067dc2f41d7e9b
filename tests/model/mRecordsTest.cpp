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
#include <list>
#include <map>
#include <string>
#include <vector>

namespace {

// One attribute as a fresh object answers it: name, data type name, text of the default.
struct Attr
{
    std::string name, type, value;
    bool operator==(Attr const&) const = default;
};

std::ostream& operator<<(std::ostream& out, Attr const& a)
{
    return out << a.name << ":" << a.type << "=" << a.value;
}

std::vector<Attr> attrsOf(ObObj const& o)
{
    std::list<rtl::str> names;
    o.getAttrNames(names);
    std::vector<Attr> out;
    for (rtl::str const& n : names) {
        ObAttr a;
        rtl::str text;
        EXPECT_TRUE(o.getAttr(n, a)) << n.c();
        EXPECT_TRUE(o.getAttrAsString(n, text)) << n.c();
        out.push_back({n.c(), a.getCDataType(), text.c()});
    }
    return out;
}

std::vector<Attr> const TimelineAttrs = {
    {"tick", "int", "1"},
    {"layerHidingEnabled", "bool", "False"},
    {"lockToNowFlag", "bool", "False"},
    {"layerHeaderW", "int", "120"},
    {"rowScale", "double", "30.000000"},
    {"showLayerControls", "bool", "False"},
};

std::vector<Attr> const LayerAttrs = {
    {"isCurrent", "bool", "False"},
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
    {"currentTime", "double", "0.000000"},
    {"bgColorR", "int", "100"},
    {"bgColorG", "int", "100"},
    {"bgColorB", "int", "100"},
    {"bgColorA", "int", "80"},
    {"lineColorR", "int", "120"},
    {"lineColorG", "int", "120"},
    {"lineColorB", "int", "120"},
    {"lineColorA", "int", "80"},
    {"textColorR", "int", "255"},
    {"textColorG", "int", "255"},
    {"textColorB", "int", "255"},
    {"textColorA", "int", "255"},
    {"labelFontFamily", "rtl::str", "Gil Sans"},
    {"labelMaxFontSize", "int", "12"},
    {"labelMinFontSize", "int", "16"},
    {"labelFontSize", "int", "14"},
    {"labelFontWeight", "int", "50"},
    {"notes", "rtl::str", ""},
    {"keywords", "rtl::str", ""},
};

std::vector<Attr> const EventAttrs = {
    {"colorStyle", "int", "1"},
    {"startTime", "double", "0.000000"},
    {"timeLength", "double", "1.000000"},
    {"sceneW", "double", "0.000000"},
    {"sceneH", "double", "0.000000"},
    {"rowIndex", "double", "0.000000"},
    {"rowSize", "double", "1.000000"},
    {"isActive", "bool", "True"},
    {"isImpulse", "bool", "False"},
    {"bgColorR", "int", "128"},
    {"bgColorG", "int", "128"},
    {"bgColorB", "int", "128"},
    {"bgColorA", "int", "255"},
    {"lineColorR", "int", "128"},
    {"lineColorG", "int", "128"},
    {"lineColorB", "int", "128"},
    {"lineColorA", "int", "255"},
    {"textColorR", "int", "128"},
    {"textColorG", "int", "128"},
    {"textColorB", "int", "128"},
    {"textColorA", "int", "255"},
    {"title", "rtl::str", ""},
    {"notes", "rtl::str", ""},
    {"amount", "rtl::str", ""},
    {"units", "rtl::str", ""},
    {"keywords", "rtl::str", ""},
};

std::vector<Attr> const SampleAttrs = {
    {"myAttr1", "float", "1.000000"},
    {"myAttr2", "bool", "True"},
};

// The skin's scene scales are 1 once it is made, whatever the record's own defaults say.
std::vector<Attr> const SkinAttrs = {
    {"labelFontSize", "int", "12"},
    {"labelFontFamily", "rtl::str", "Gil Sans"},
    {"sceneXScale", "int", "1"},
    {"sceneYScale", "int", "1"},
    {"panelBgR", "int", "40"},
    {"panelBgG", "int", "40"},
    {"panelBgB", "int", "40"},
    {"ctrlsLabelColorR", "int", "170"},
    {"ctrlsLabelColorG", "int", "190"},
    {"ctrlsLabelColorB", "int", "190"},
    {"ctrlsLabelColorA", "int", "255"},
    {"timelineBgR", "int", "20"},
    {"timelineBgG", "int", "20"},
    {"timelineBgB", "int", "20"},
    {"timelineFgR", "int", "60"},
    {"timelineFgG", "int", "60"},
    {"timelineFgB", "int", "70"},
    {"lineColorR", "int", "140"},
    {"lineColorG", "int", "160"},
    {"lineColorB", "int", "180"},
    {"timelineTopHeaderLabelR", "int", "255"},
    {"timelineTopHeaderLabelG", "int", "255"},
    {"timelineTopHeaderLabelB", "int", "255"},
    {"timelineSelectionH", "int", "20"},
    {"timelineTopHeaderH", "int", "80"},
    {"timelineLeftHeaderW", "int", "100"},
    {"timelineTopRowPadH", "int", "1"},
};

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

std::map<std::string, std::vector<Attr>> everything()
{
    std::map<std::string, std::vector<Attr>> out;
    auto take = [&](char const* type, Obt* t) {
        for (unsigned r = 0; r < t->getCurrentTypeCount(); ++r) {
            unsigned const addr = t->myAddrsByRosterIndex[r];
            out[std::string(type) + "#" + std::to_string(addr)] = attrsOf(*t->objFromAddr(addr));
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

TEST(mRecords, EveryRecordNamesItsAttributesInOrderWithTheirDefaults)
{
    TimelineTestDoc doc;
    Obh layer = tlObj::ourType_mLayer->make();
    Obh ev = tlObj::ourType_mEvent->make();
    Obh sample = tlObj::ourType_mPlSample->make();
    EXPECT_EQ(attrsOf(*doc.cmp.getCmpTimeline()), TimelineAttrs);
    EXPECT_EQ(attrsOf(*tlObj::ourType_mLayer->ptr(layer)), LayerAttrs);
    EXPECT_EQ(attrsOf(*tlObj::ourType_mEvent->ptr(ev)), EventAttrs);
    EXPECT_EQ(attrsOf(*tlObj::ourType_mPlSample->ptr(sample)), SampleAttrs);
    EXPECT_EQ(attrsOf(*doc.cmp.getCmpSkin()), SkinAttrs);
    // The component's record carries its base's two attributes only.
    EXPECT_EQ(attrsOf(doc.cmp),
              (std::vector<Attr> {{"name", "rtl::str", ""}, {"version", "float", "1.000000"}}));
}

TEST(mRecords, AnObjectTakenAgainFromItsPoolStartsFromTheDefaults)
{
    TimelineTestDoc doc;
    auto reused = [](auto* type, int seed) {
        Obh h = type->make();
        auto* o = type->ptr(h);
        setEveryAttr(*o, seed);
        unsigned const slot = h.getAddr();
        h.dealloc();
        Obh again = type->make();
        EXPECT_EQ(again.getAddr(), slot);
        return type->ptr(again);
    };
    mEvent* ev = reused(tlObj::ourType_mEvent, 1);
    EXPECT_EQ(attrsOf(*ev), EventAttrs);
    EXPECT_FALSE(ev->getPayload().isValid());
    EXPECT_FALSE(ev->getLayerHdl().isValid());
    EXPECT_EQ(attrsOf(*reused(tlObj::ourType_mLayer, 2)), LayerAttrs);
    EXPECT_EQ(attrsOf(*reused(tlObj::ourType_mPlSample, 3)), SampleAttrs);
    EXPECT_EQ(attrsOf(*reused(tlObj::ourType_mSkin, 4)), SkinAttrs);
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
    EXPECT_EQ(saved.at("mEvent#0")[2].value, "44.250000") << "a real keeps its point";

    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));
    std::string message;
    ASSERT_TRUE(loadTimelineDoc(doc.cmp, path, &message)) << message;
    EXPECT_EQ(everything(), saved);
}
