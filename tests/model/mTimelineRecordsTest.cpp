#include "ModelFixture.h"
#include "ScratchDir.h"
#include "mPlSample.h"
#include "mSkin.h"

#include <fstream>
#include <sstream>

namespace {

// A timeline of two layers and three events, saved and read back into a fresh document.
struct TimelineRecords : ModelFixture
{
    ScratchDir dir;
    std::string path = dir.file("doc.xml");
    Obh top = tl.newLayer(), bottom = tl.newLayer();
    Obh first = at(100, 50, 0, top), second = at(120, 10, 0, top),
        third = at(400, 0, 2, bottom, true);

    std::string text() const
    {
        std::ifstream in(path);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
};

// The names of the elements of a text, in order, from the first "<object _t=" of the class on
// to the end of that object.
std::vector<std::string> elementsOfFirst(std::string const& text, std::string const& cls)
{
    std::size_t at = text.find("<object _t=\"" + cls + "\"");
    std::size_t const end = text.find("</object>", at);
    std::vector<std::string> out;
    for (at = text.find('<', at + 1); at < end; at = text.find('<', at + 1)) {
        if (text[at + 1] == '/')
            continue;
        std::size_t const stop = text.find_first_of(" />", at + 1);
        std::string name = text.substr(at + 1, stop - at - 1);
        if (name == "attr") {
            std::size_t const id = text.find("_id=\"", at) + 5;
            name = "attr " + text.substr(id, text.find('"', id) - id);
        }
        out.push_back(name);
    }
    return out;
}

// The slots of handles: what names an object across two documents.
template <class C> std::vector<unsigned> slotsOf(C const& handles)
{
    std::vector<unsigned> out;
    for (Obh const& h : handles)
        out.push_back(h.getAddr());
    return out;
}

} // namespace

TEST_F(TimelineRecords, WritesEachRecordInItsOrder)
{
    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));
    std::string const all = text();
    EXPECT_EQ(elementsOfFirst(all, "mTimeline"),
              (std::vector<std::string> {
                  "attr tick", "attr layerHidingEnabled", "attr lockToNowFlag", "attr layerHeaderW",
                  "attr rowScale", "attr showLayerControls", "time_scale", "row_scale", "layers",
                  "layer", "layer", "events", "event", "event", "event"}));
    auto const layerElements = elementsOfFirst(all, "mLayer");
    ASSERT_GE(layerElements.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(layerElements.begin(), layerElements.begin() + 6),
              (std::vector<std::string> {"time_scale", "row_scale", "layer_events", "layer_event",
                                         "layer_event", "attr isCurrent"}))
        << "a layer's attributes come last";
    auto const eventElements = elementsOfFirst(all, "mEvent");
    EXPECT_EQ(std::vector<std::string>(eventElements.begin(), eventElements.begin() + 3),
              (std::vector<std::string> {"event_time", "event_layer", "attr colorStyle"}));
}

TEST_F(TimelineRecords, ReadsBackTheSameTimeline)
{
    ev(first)->setTitle("first");
    tl.setLockToNowFlag(true);
    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));
    unsigned const scalesBefore = tlObj::ourType_mScale->getCurrentTypeCount();

    TimelineTestDoc fresh;
    std::string message;
    ASSERT_TRUE(loadTimelineDoc(fresh.cmp, path, &message)) << message;
    ASSERT_TRUE(fresh.cmp.resolveModel());
    mTimeline& read = *fresh.cmp.getCmpTimeline();
    EXPECT_EQ(slotsOf(read.getLayerHdls()), slotsOf(tl.getLayerHdls())) << "slots survive";
    EXPECT_EQ(slotsOf(read.getEdb()->getEvents()), slotsOf(tl.getEdb()->getEvents()));
    EXPECT_FALSE(read.getLockToNowFlag()) << "a load always unlocks";
    EXPECT_EQ(tlObj::ourType_mScale->getCurrentTypeCount(), scalesBefore)
        << "the scales the new objects made went back to their pool";
    EXPECT_STREQ(ev(first)->getTitle().c(), "first");
    EXPECT_EQ(ev(third)->getLayer(), layer(bottom));
    EXPECT_EQ(slotsOf(layer(top)->getEvents()), slotsOf(std::set<Obh> {first, second}));
    EXPECT_EQ(layer(top)->getTimeline(), &read);
    // The events are found by time again.
    std::list<Obh> found;
    read.getEdb()->findAllEventsIncludingAndBetween(aTs(110.0), aTs(125.0), found);
    EXPECT_EQ(slotsOf(found), slotsOf(std::list<Obh> {first, second}));
}

TEST_F(TimelineRecords, ARepeatedScaleNeverFreesALiveOne)
{
    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));
    std::string all = text();
    // The timeline names its row scale twice: the second would give back the first.
    std::size_t const row = all.find("<row_scale");
    all.insert(row, all.substr(row, all.find('>', row) - row + 1) + "\n");
    std::ofstream(path) << all;
    TimelineTestDoc fresh;
    std::string message;
    EXPECT_FALSE(loadTimelineDoc(fresh.cmp, path, &message));
    EXPECT_NE(message.find("\"row_scale\" is given twice"), std::string::npos) << message;
}

TEST(TimelineRecordsOwnStore, ADamagedModelIsRefusedBeforeAnyHookRuns)
{
    ScratchDir dir;
    std::string const path = dir.file("doc.xml");
    {
        tlCmp cmp(nullptr, nullptr, nullptr, nullptr, nullptr);
        mTimeline& tl = *cmp.getCmpTimeline();
        tl.newLayer();
        tl.newLayer();
        ASSERT_TRUE(saveTimelineDoc(cmp, path));
    }
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    std::string const second = "<attr _id=\"index\" _t=\"int\" value=\"1\"/>";
    ASSERT_NE(text.find(second), std::string::npos);
    text.replace(text.find(second), second.size(), "<attr _id=\"index\" _t=\"int\" value=\"0\"/>");
    std::ofstream(path) << text;

    tlCmp cmp(nullptr, nullptr, nullptr, nullptr, nullptr);
    std::string message;
    EXPECT_FALSE(loadTimelineDoc(cmp, path, &message));
    EXPECT_NE(message.find("has an index other than its place"), std::string::npos) << message;
    EXPECT_EQ(tlObj::ourType_mLayer->getCurrentTypeCount(), 0u) << "nothing of it is kept";
}

TEST_F(TimelineRecords, AnEventFittedAboveTheFirstRowOpensAgain)
{
    ev(second)->setRowIndex(-0.5);
    layer(top)->fitRows();
    ASSERT_LT(ev(second)->getRowIndex(), 0) << "the fit keeps the row above the first";
    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));

    TimelineTestDoc fresh;
    std::string message;
    ASSERT_TRUE(loadTimelineDoc(fresh.cmp, path, &message)) << message;
    ASSERT_TRUE(fresh.cmp.resolveModel());
    EXPECT_EQ(ev(second)->getRowIndex(), -0.5);
}

// No version writes a payload's "setting" element, but a document may hold one: it is read into
// a settings bin of its own, so that nothing of it reaches the payload's attributes, and the rest
// of the document reads as it was written.
TEST_F(TimelineRecords, APayloadSettingIsReadAsideAndTheRestOfTheDocumentStays)
{
    struct Form
    {
        char const* what;
        char const* setting;
    };
    // Its content carries the payload's own attribute names, with other values.
    Form const forms[] = {
        {"with nothing in it", "<setting _t=\"h\" tid=\"mPlSample\" oid=\"1\" flags=\"0\"/>"},
        {"with a settings object", "<setting _t=\"h\" tid=\"mPlSample\" oid=\"1\" flags=\"0\">"
                                   "<object _t=\"ObBin\" _id=\"gain\">"
                                   "<attr _id=\"myAttr1\" _t=\"float\" value=\"9.000000\"/>"
                                   "<attr _id=\"myAttr2\" _t=\"bool\" value=\"True\"/>"
                                   "<attr _id=\"level\" _t=\"int\" value=\"3\"/>"
                                   "</object></setting>"},
        {"with an empty settings object",
         "<setting _t=\"h\" tid=\"mPlSample\" oid=\"1\" flags=\"0\">"
         "<object _t=\"ObBin\" _id=\"gain\"/></setting>"},
        {"without a readable handle", "<setting><object _t=\"ObBin\" _id=\"gain\">"
                                      "<attr _id=\"myAttr1\" _t=\"float\" value=\"9.000000\"/>"
                                      "</object></setting>"},
    };
    // The types are the current document's: looked up again after each load.
    auto samples = [] { return tlObj::ourType_mPlSample; };
    Obh sample = samples()->make(), next = samples()->make();
    samples()->ptr(sample)->setMyAttr1(2.5f);
    samples()->ptr(sample)->setMyAttr2(false);
    samples()->ptr(next)->setMyAttr1(4.5f);
    ev(first)->setTitle("first");
    doc.cmp.getCmpSkin()->setTimelineTopHeaderH(90);
    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));
    std::string const written = text();
    std::string const second = "<attr _id=\"myAttr2\"";
    std::size_t const at = written.find(second, written.find("<object _t=\"mPlSample\""));
    ASSERT_NE(at, std::string::npos);

    for (Form const& form : forms) {
        SCOPED_TRACE(form.what);
        std::string withSetting = written;
        withSetting.insert(at, std::string(form.setting) + "\n");
        std::ofstream(path) << withSetting;
        TimelineTestDoc fresh;
        std::string message;
        ASSERT_TRUE(loadTimelineDoc(fresh.cmp, path, &message)) << message;
        ASSERT_TRUE(fresh.cmp.resolveModel());
        EXPECT_EQ(samples()->ptr(sample)->getMyAttr1(), 2.5f);
        EXPECT_FALSE(samples()->ptr(sample)->getMyAttr2()) << "read after the setting";
        std::list<rtl::str> names;
        samples()->ptr(sample)->getAttrNames(names);
        EXPECT_EQ(names.size(), 2u) << "the setting adds no attribute to the payload";
        EXPECT_EQ(samples()->ptr(next)->getMyAttr1(), 4.5f) << "the next payload";
        mTimeline& read = *fresh.cmp.getCmpTimeline();
        EXPECT_EQ(slotsOf(read.getLayerHdls()), slotsOf(tl.getLayerHdls()));
        EXPECT_EQ(slotsOf(read.getEdb()->getEvents()), slotsOf(tl.getEdb()->getEvents()));
        EXPECT_STREQ(ev(first)->getTitle().c(), "first");
        EXPECT_EQ(fresh.cmp.getCmpSkin()->getTimelineTopHeaderH(), 90) << "the component's part";

        // Kept by nobody: a save writes the model as it was (the scales' pool aside, which
        // counts the slots the first document used for a while).
        ASSERT_TRUE(saveTimelineDoc(fresh.cmp, path));
        std::string const model = "<type name=\"mTimeline\"";
        std::string const again = text();
        EXPECT_EQ(again.substr(again.find(model)), written.substr(written.find(model)));
    }
}

// A payload is told it was dropped into the new event and rides with it; the document keeps
// the payload with its attributes, but not which event carried it.
TEST_F(TimelineRecords, AnEventCarriesItsPayloadButADocumentDoesNotSayWhichOne)
{
    Obh payload = tlObj::ourType_mPlSample->make();
    mPlSample* sample = tlObj::ourType_mPlSample->ptr(payload);
    sample->setMyAttr1(3.5f);
    rtl::str name;
    sample->describe(name);
    EXPECT_STREQ(name.c(), "mPlSample");
    EXPECT_TRUE(sample->droppedIntoEvent(first));
    EXPECT_EQ(sample->getMyAttr1(), 3.5f) << "being dropped changes nothing";

    Obh carrier = tl.newEvent(payload);
    EXPECT_EQ(ev(carrier)->getPayload(), payload);
    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));

    TimelineTestDoc fresh;
    std::string message;
    ASSERT_TRUE(loadTimelineDoc(fresh.cmp, path, &message)) << message;
    ASSERT_TRUE(fresh.cmp.resolveModel());
    ASSERT_NE(ev(carrier), nullptr);
    EXPECT_FALSE(ev(carrier)->getPayload().isValid());
    ASSERT_NE(tlObj::ourType_mPlSample->ptr(payload), nullptr);
    EXPECT_EQ(tlObj::ourType_mPlSample->ptr(payload)->getMyAttr1(), 3.5f);
}
