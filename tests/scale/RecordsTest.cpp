#include "AttrText.h"
#include "ScaleTestSupport.h"
#include "ScratchDir.h"
#include "XmlWriter.h"
#include "mGridlineData.h"
#include "mRangeDay.h"
#include "mRangeSetups.h"
#include "mScale.h"

#include <algorithm>
#include <list>
#include <string>
#include <vector>

TEST(ScaleRecords, LastYearRangeEndsAtTheLargestDoubleWrittenInFull)
{
    rtl::str t;
    rangeAt(115)->getAttrAsString(rtl::str("zoomEnd"), t);
    std::string const s = t.c();
    EXPECT_EQ(s.find('.'), 309u);
    EXPECT_EQ(s.substr(0, 6), "179769");
}

TEST(ScaleRecords, PresetWithoutBoundsTakesThemFromItsFirstRow)
{
    mRangeSetups rss;
    rtl::ref<mRangeSetup> a(new mRangeSetup);
    rss.addRangeSetup(600, a);
    EXPECT_EQ(rss.getStartZoom(), 10.0);
    EXPECT_EQ(rss.getStopZoom(), 10.0);
}

TEST(ScaleRecords, SecondsPerUnitThatPrintAlikeShareOneLook)
{
    mRangeSetups rss;
    rtl::ref<mRangeSetup> a(new mRangeSetup), b(new mRangeSetup);
    rss.addRangeSetup(1.0000001, a);
    rss.addRangeSetup(1.0, b);
    EXPECT_EQ(rss.rangeSetups().size(), 1u);
    EXPECT_EQ(rss.getRangeSetup(1.0000001), b.get());
}

namespace {

// The attributes as a saved file holds them: its "attr" elements, in order.
std::vector<AttrText> saved(ObObj& o)
{
    ScratchDir dir;
    std::string const f = dir.file("attrs.xml");
    {
        XmlWriter w("ISO-8859-1");
        EXPECT_TRUE(w.startDocument(f.c_str(), "object"));
        EXPECT_TRUE(o.xmlWriteAttrs(w));
        EXPECT_TRUE(w.endDocument());
    }
    std::string const text = readFile(f);
    // The value of one XML attribute of an element's text ("" when absent).
    auto value = [](std::string const& element, std::string const& name) {
        std::size_t const at = element.find(" " + name + "=\"");
        if (at == std::string::npos)
            return std::string();
        std::size_t const from = at + name.size() + 3;
        return element.substr(from, element.find('"', from) - from);
    };
    std::vector<AttrText> out;
    for (std::size_t at = text.find("<attr "); at != std::string::npos;
         at = text.find("<attr ", at + 1)) {
        std::string const element = text.substr(at, text.find('>', at) - at);
        out.push_back({value(element, "_id"), value(element, "_t"), value(element, "value")});
    }
    return out;
}

// A record's attributes checked both ways against the expected list; entries named in `open`
// have no starting value of their own, so only their names and types are compared.
void expectRecord(ObObj& o, std::vector<AttrText> const& expected,
                  std::vector<std::string> const& open = {})
{
    for (auto const& got : {describedAttrs(o), saved(o)}) {
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            AttrText e = expected[i];
            if (std::find(open.begin(), open.end(), e.name) != open.end())
                e.text = got[i].text;
            EXPECT_EQ(got[i], e) << "attribute " << i;
        }
    }
}

} // namespace

TEST(ScaleRecords, ScaleRecordAttributesInOrderWithTypesAndDefaults)
{
    mScale fresh;
    expectRecord(fresh, {
                            {"note", "rtl::str", ""},
                            {"unitType", "rtl::str", "numeric"},
                            {"parentPos", "int", "0"},
                            {"parentSize", "int", "1"},
                            {"hasMinValue", "bool", "True"},
                            {"hasMaxValue", "bool", "True"},
                            {"minValue", "double", "0.000000"},
                            {"maxValue", "double", "1.000000"},
                        });
}

TEST(ScaleRecords, PresetRecordAttributesInOrderWithTypesAndDefaults)
{
    mRangeSetups preset;
    expectRecord(preset, {
                             {"stopZoom", "double", "-1.000000"},
                             {"startZoom", "double", "-1.000000"},
                             {"presetName", "rtl::str", ""},
                         });
}

TEST(ScaleRecords, RowLookRecordAttributesInOrderWithTypesAndDefaults)
{
    mRangeSetup look;
    // rampSizePct has no starting value of its own (the record picks one).
    expectRecord(look,
                 {
                     {"rangeId", "rtl::str", ""},
                     {"doNotStack", "bool", "True"},
                     {"sizeScale", "float", "100.000000"},
                     {"minSize", "int", "10"},
                     {"maxSize", "int", "-1"},
                     {"bgColorR", "int", "200"},
                     {"bgColorG", "int", "200"},
                     {"bgColorB", "int", "200"},
                     {"bgColorA", "int", "100"},
                     {"showBg", "bool", "False"},
                     {"topLineColorR", "int", "200"},
                     {"topLineColorG", "int", "200"},
                     {"topLineColorB", "int", "200"},
                     {"topLineColorA", "int", "100"},
                     {"showTopLine", "bool", "False"},
                     {"bottomLineColorR", "int", "200"},
                     {"bottomLineColorG", "int", "200"},
                     {"bottomLineColorB", "int", "200"},
                     {"bottomLineColorA", "int", "100"},
                     {"showBottomLine", "bool", "False"},
                     {"showRangeBgColoring", "bool", "False"},
                     {"showRamp", "bool", "False"},
                     {"rampLowColorR", "int", "100"},
                     {"rampLowColorG", "int", "100"},
                     {"rampLowColorB", "int", "100"},
                     {"rampLowColorA", "int", "200"},
                     {"rampMidColorR", "int", "-1"},
                     {"rampMidColorG", "int", "-1"},
                     {"rampMidColorB", "int", "-1"},
                     {"rampMidColorA", "int", "-1"},
                     {"rampHighColorR", "int", "200"},
                     {"rampHighColorG", "int", "200"},
                     {"rampHighColorB", "int", "200"},
                     {"rampHighColorA", "int", "200"},
                     {"rampMinSize", "float", "3.000000"},
                     {"rampMaxSize", "float", "-1.000000"},
                     {"rampSizePct", "int", ""},
                     {"showLabels", "bool", "True"},
                     {"labelFormat", "rtl::str", ""},
                     {"labelVisPct", "int", "80"},
                     {"labelColorR", "int", "170"},
                     {"labelColorG", "int", "190"},
                     {"labelColorB", "int", "190"},
                     {"labelColorA", "int", "255"},
                     {"labelAlignH", "int", "-1"},
                     {"labelAlignV", "int", "-1"},
                     {"labelPadL", "int", "2"},
                     {"labelPadR", "int", "2"},
                     {"labelPadB", "int", "0"},
                     {"labelPadT", "int", "0"},
                     {"showSpanLabel", "bool", "True"},
                     {"spanLabelFormat", "rtl::str", ""},
                     {"spanLabelColorR", "int", "250"},
                     {"spanLabelColorG", "int", "250"},
                     {"spanLabelColorB", "int", "250"},
                     {"spanLabelColorA", "int", "255"},
                     {"showTick", "bool", "True"},
                     {"tickSizePct", "int", "100"},
                     {"tickMinSize", "float", "3.000000"},
                     {"tickMaxSize", "float", "-1.000000"},
                     {"tickColorR", "int", "60"},
                     {"tickColorG", "int", "60"},
                     {"tickColorB", "int", "60"},
                     {"tickColorA", "int", "255"},
                 },
                 {"rampSizePct"});
}

TEST(ScaleRecords, GridlineRecordAttributesInOrderWithTypesAndDefaults)
{
    mGridlineData gridline;
    expectRecord(gridline, {
                               {"parentPos", "double", "0.000000"},
                               {"index", "int", "0"},
                               {"units", "int", "0"},
                               {"weight", "int", "0"},
                               {"label", "rtl::str", ""},
                               {"labelDone", "bool", "False"},
                               {"tickDone", "bool", "False"},
                           });
}

TEST(ScaleRecords, RangeRecordAttributesInOrderWithTypesAndDefaults)
{
    // The values a new range starts with; preSubtract, rowScaleUnits and fontSize have none of
    // their own before they are first set, and the constructor gives the band.
    std::vector<AttrText> expected = {
        {"index", "int", "-1"},
        {"offset", "int", "-1"},
        {"stackDepth", "int", "-1"},
        {"row", "int", "-1"},
        {"preSubtract", "bool", ""},
        {"rowScaleUnits", "float", ""},
        {"zoomBegin", "double", ""},
        {"zoomEnd", "double", ""},
        {"fontFamily", "rtl::str", "Gil Sans"},
        {"minFontSize", "int", "10"},
        {"maxFontSize", "int", "14"},
        {"fontSize", "int", ""},
        {"labelHAlign", "int", "-1"},
        {"labelVAlign", "int", "-1"},
        {"maxLabelW", "int", "-1"},
        {"maxLabelH", "int", "-1"},
        {"note", "rtl::str", ""},
    };
    mRangeData record;
    expectRecord(record, expected,
                 {"preSubtract", "rowScaleUnits", "zoomBegin", "zoomEnd", "fontSize"});
    // A range made by its constructor: its index and its band, the rest as on the record.
    mRangeDay day(timeUnits(), 92, 120, 2880);
    expected[0].text = "92";
    expected[6].text = "120.000000";
    expected[7].text = "2880.000000";
    expectRecord(day, expected, {"preSubtract", "rowScaleUnits", "fontSize"});
}
