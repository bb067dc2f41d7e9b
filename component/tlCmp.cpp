#include "tlCmp.h"

#include "ObClassTypeOf.h"
#include "ObCleanAnd.h"
#include "ObCleanIfDirty.h"
#include "ObCleanIfNotDirty.h"
#include "ObCleanOr.h"
#include "ObDirty.h"
#include "ObEngine.h"
#include "ObQtSelection.h"
#include "XmlReader.h"
#include "XmlWriter.h"
#include "aAssert.h"
#include "aRefresher.h"
#include "aStateEngine.h"
#include "aTrace.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mPlSample.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlUi.h"

#include <cstring>
#include <string>
#include <utility>

namespace {

// The clean rule of every refresh step of the timeline side, in the order of installation (which
// fixes the steps' numbers). The class before the underscore tests the step in its refresh.
tlCmp::CleanRule const CleanRules[] = {
    {"mLayer_adjustSceneHeight", "NumRowsInLayer|EventSetInLayer|RowScaleZoom"},
    {"mLayer_syncToTick", "Reset|Tick"},
    {"mTimeline_reconfigTimeScale", "Layout"},
    {"mTimeline_reconfigPerpScale", "Layout"},
    {"mTimeline_resyncLayers", "Layout"},
    {"mTimeline_snapLayersToTimelineTimeScale",
     "LayerTimeScale|TimeScalePan|TimeScalePanToNow|TimeScaleZoom"},
    {"mTimeline_clearLocalSelectionFromTimeScale",
     "SelectionByTimeDisabled|RubberBandSelectionStart"},
    {"mTimeline_clearEventsFromSelection", "TimeSelectionChanged"},
    {"mTimeline_selectEventsByTimeSelection", "TimeSelectionChanged"},
    {"mTimeline_restackLayers", "NumRowsInLayer|EventsDroppedInRow|LayerStackingInTimeline|"
                                "LayerHidingChanged|RowScalePan|RowScaleZoom|Layout"},
    {"mTimeline_syncEventsToView", "EventsDroppedInRow|LayerStackingInTimeline|"
                                   "LayerHidingChanged|RowScalePan|RowScaleZoom|Layout"},
    {"pTicks_doUpdate", "Tick|TimeScaleZoom|TimeScalePan|TimeScalePanToNow|ActiveLayers|Layout|"
                        "SelectionByTimeDisabled|TimeSelectionChanged|TimeScaleLockToNowChanged"},
    {"pCtrls_updateTimeRangeLabels", "TimeScaleZoom|TimeScalePanToNow|TimeScalePan"},
    {"pHeader_unselectLayer", ""},
    {"pHeader_reskin", ""},
    {"pHeader_syncLayerControls", "LayerHidingChanged|LayerControlVisibility"},
    {"pHeader_stopEditingTitle",
     "RubberBandSelectionStart|LayerHeaderBgClicked|LayerHeaderClicked|EventsDroppedInRow|Layout|"
     "NewEvent|LayerHidingChanged|TimeScaleZoom|TimeSelectionChanged|Selection|EventWasDeleted|"
     "EventColorChanged|RowScaleZoom|NewHandful|ClearHandful"},
    {"pHeader_stopEditingLayer",
     "RubberBandSelectionStart|EventsDroppedInRow|Layout|NewEvent|LayerHidingChanged|"
     "TimeScaleZoom|TimeSelectionChanged|EventWasDeleted|EventColorChanged|RowScaleZoom|"
     "NewHandful|ClearHandful"},
    {"pHeader_update", "Selection|SelectionByTimeDisabled|RubberBandSelectionStart|NumRowsInLayer|"
                       "EventsDroppedInRow|Layout|LayerStackingInTimeline|LayerHidingChanged|"
                       "RowScaleZoom|RowScalePan|UserEditedAttrs|LayerColorChanged"},
    {"pTopLeft_syncLayerControls", "LayerControlVisibility|LayerHidingChanged"},
    {"pTopLeft_update", ""},
    {"giEvent_update", "SelectionByTimeDisabled|TimeSelectionChanged|Selection|EventWasDeleted|"
                       "NewEvent|Layout|EventColorChanged|RowScaleZoom|UserEditedAttrs|"
                       "LayerColorChanged"},
    {"giLayer_update", "Selection|Layout|NumRowsInLayer|LayerStackingInTimeline|EventWasDeleted|"
                       "RowScaleZoom|UserEditedAttrs|LayerColorChanged"},
    {"pGv_updateScene", "LayerStackingInTimeline|EventWasDeleted|NewEvent|LayerHidingChanged|"
                        "RowScaleZoom|EventsDroppedInRow|Layout"},
    {"pGv_updateFg", "LayerStackingInTimeline|LayerHidingChanged|NewHandful|ClearHandful"},
    {"pGv_repaint", ""},
    {"pGv_updateEventGeomInScene", "TimeScaleZoom|TimeScalePan|TimeScalePanToNow|Layout|NewEvent|"
                                   "EventsDroppedInRow|RowScaleZoom"},
    {"pGv_updateTimeSelection", "TimeScaleZoom|TimeScalePan|TimeScalePanToNow|Selection|"
                                "SelectionByTimeDisabled|TimeSelectionChanged|"
                                "TimeScaleLockToNowChanged"},
    {"pTimeline_doRelayer", "LayerStackingInTimeline|LayerHidingChanged|RowScaleZoom|Layout"},
    {"pTimeline_lockToNowChanged", "TimeScaleLockToNowChanged|TimeScalePanToNow|TimeScaleZoom"},
    {"pTimeline_lockToNowDisengage", "TimeScalePan&!TimeScalePanToNow&!DocLoaded"},
    {"pTimeline_doLayout", "Layout|RowScaleZoom"},
    {"pTimeline_recenterScene", "LayerStackingInTimeline|Scene|Layout|NumRowsInLayer"},
    {"pTimeline_restackLayerHeaders", "NumRowsInLayer|EventsDroppedInRow|LayerStackingInTimeline|"
                                      "LayerHidingChanged|RowScalePan|RowScaleZoom"},
    {"pTimeline_syncPerpPan", "NumRowsInLayer|EventsDroppedInRow|LayerStackingInTimeline|"
                              "LayerHidingChanged|RowScaleZoom|RowScalePan"},
    {"pTimeline_doUpdate", "LayerStackingInTimeline|LayerHidingChanged|ActiveLayers|NumRowsInLayer|"
                           "TimeScalePan|TimeScalePanToNow|TimeSelectionChanged|"
                           "SelectionByTimeDisabled|TimeScaleZoom|RowScaleZoom"},
};

// One condition term: a dirt id named without its prefix, "!" in front for "not raised".
ObCleanCheck* newTerm(std::string const& term)
{
    bool const negated = !term.empty() && term[0] == '!';
    uint32_t* id = tlObj::dirtIdNamed(term.c_str() + (negated ? 1 : 0));
    A_ASSERT(id); // a rule names an id that is not declared: the table is wrong
    if (negated)
        return new ObCleanIfNotDirty(*id);
    return new ObCleanIfDirty(*id);
}

// The condition tree of a rule: an Or of the terms, or an Or around one And of them.
ObCleanCheck* newCondition(char const* when)
{
    std::string const text(when);
    bool const all = text.find('&') != std::string::npos;
    char const separator = all ? '&' : '|';
    auto* top = new ObCleanOr(nullptr);
    ObCleanCombo* target = top;
    if (all) {
        auto* conjunction = new ObCleanAnd(nullptr);
        top->add(conjunction);
        target = conjunction;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        target->add(newTerm(text.substr(start, end - start)));
        start = end + 1;
    }
    return top;
}

// The progress line of the construction, straight to standard output.
void here(int line)
{
    tlObj::traceHere(__FILE__, line);
}

template <class T> std::unique_ptr<ObClassTypeOf<T>> newType(char const* name, ObEngine& store,
                                                             ObClassTypeOf<T>*& current)
{
    auto type = std::make_unique<ObClassTypeOf<T>>(name, 1, 1);
    store.registerType(type.get());
    current = type.get();
    return type;
}

// A pool going with its component: the live objects are returned (their recycle hooks run),
// the pool is deleted (which takes it out of its store) and the static stops naming it.
template <class T>
void dropType(std::unique_ptr<ObClassTypeOf<T>>& type, ObClassTypeOf<T>*& current)
{
    if (!type)
        return;
    type->reset(true, true);
    if (current == type.get())
        current = nullptr;
    type.reset();
}

// Makes a component and its pools current for as long as it lives, then restores what was
// current before (except the component itself and its pools, which leave nothing behind).
class CurrentModel
{
public:
    explicit CurrentModel(tlCmp* cmp, ObClassTypeOf<mScale>* scales,
                          ObClassTypeOf<mTimeline>* timelines, ObClassTypeOf<mLayer>* layers,
                          ObClassTypeOf<mSkin>* skins, ObClassTypeOf<mEvent>* events,
                          ObClassTypeOf<mPlSample>* samples)
        : myCmp(cmp, tlObj::ourCurrentCmp), myScales(scales, tlObj::ourType_mScale),
          myTimelines(timelines, tlObj::ourType_mTimeline), myLayers(layers, tlObj::ourType_mLayer),
          mySkins(skins, tlObj::ourType_mSkin), myEvents(events, tlObj::ourType_mEvent),
          mySamples(samples, tlObj::ourType_mPlSample)
    {
    }

private:
    template <class P> class Swap
    {
    public:
        Swap(P* mine, P*& current) : myMine(mine), myCurrent(current), myPrevious(current)
        {
            current = mine;
        }
        ~Swap() { myCurrent = myPrevious == myMine ? nullptr : myPrevious; }
        Swap(Swap const&) = delete;
        Swap& operator=(Swap const&) = delete;

    private:
        P* myMine;
        P*& myCurrent;
        P* myPrevious;
    };

    Swap<tlCmp> myCmp;
    Swap<ObClassTypeOf<mScale>> myScales;
    Swap<ObClassTypeOf<mTimeline>> myTimelines;
    Swap<ObClassTypeOf<mLayer>> myLayers;
    Swap<ObClassTypeOf<mSkin>> mySkins;
    Swap<ObClassTypeOf<mEvent>> myEvents;
    Swap<ObClassTypeOf<mPlSample>> mySamples;
};

} // namespace

std::span<tlCmp::CleanRule const> tlCmp::cleanRules()
{
    return CleanRules;
}

void tlCmp::installCleanRules(ObDirty& dirt)
{
    installCleanRules(dirt, CleanRules);
}

void tlCmp::installCleanRules(ObDirty& dirt, std::span<CleanRule const> rules)
{
    for (CleanRule const& rule : rules)
        dirt.initCleaning(rtl::str(rule.step), newCondition(rule.when));
}

tlCmp::tlCmp(ObEngine* data, ObDirty* dirt, aStateEngine* state, ObSelection* selection,
             aRefresher* refresher)
{
    M_TRACE("INTEGRATING TL CMP\n");
    // The newest component is the current one: what it makes below reaches it.
    ourCurrentCmp = this;
    here(__LINE__);

    myOwnsObEngine = !data;
    myObEngine = data ? data : new ObEngine();
    A_ASSERT(myObEngine);
    here(__LINE__);

    myOwnsStateEngine = !state;
    myStateEngine = state ? state : new aStateEngine();
    A_ASSERT(myStateEngine);
    here(__LINE__);

    myOwnsRefresher = !refresher;
    myRefresher = refresher ? refresher : new aRefresher(true);
    A_ASSERT(myRefresher);
    myRefresher->schedule(static_cast<aRefreshable*>(this), LevelPrintDirt,
                          fastdelegate::MakeDelegate(this, &tlCmp::printDirt), "tlCmp::printDirt");
    myRefresher->schedule(static_cast<aRefreshable*>(this), LevelCleanDirt,
                          fastdelegate::MakeDelegate(this, &tlCmp::cleanDirt), "tlCmp::cleanDirt");
    here(__LINE__);

    myOwnsDirtEngine = !dirt;
    myDirtEngine = dirt ? dirt : new ObDirty(myObEngine, myRefresher);
    A_ASSERT(myDirtEngine);
    here(__LINE__);

    declareDirtIds(*myDirtEngine);
    here(__LINE__);

    // A document builds its selection engine before these ids exist: from now on its changes
    // raise the component's selection id.
    myOwnsSelectionEngine = !selection;
    if (selection) {
        mySelectionEngine = selection;
        mySelectionEngine->setSelectionDirt(DirtSelection);
    } else {
        mySelectionEngine = new ObQtSelection(myDirtEngine, nullptr, DirtSelection);
    }
    A_ASSERT(mySelectionEngine);

    registerTypes();
    here(__LINE__);

    mySkinHdl = ourType_mSkin->make();
    mySkin = ourType_mSkin->ptr(mySkinHdl);
    // Making the timeline schedules it and raises its scales' zoom ids: they exist by now, and
    // the pass that asks for runs only once every rule below is installed.
    myTimelineHdl = ourType_mTimeline->make();
    myTimeline = ourType_mTimeline->ptr(myTimelineHdl);
    A_ASSERT(myTimeline);

    myUi = new tlUi(this);
    installCleanRules(*myDirtEngine);
}

void tlCmp::registerTypes()
{
    // The order fixes the type indices and the order of the types in a document.
    myScaleType = newType<mScale>("mScale", *myObEngine, ourType_mScale);
    myTimelineType = newType<mTimeline>("mTimeline", *myObEngine, ourType_mTimeline);
    myLayerType = newType<mLayer>("mLayer", *myObEngine, ourType_mLayer);
    mySkinType = newType<mSkin>("mSkin", *myObEngine, ourType_mSkin);
    myEventType = newType<mEvent>("mEvent", *myObEngine, ourType_mEvent);
    myPlSampleType = newType<mPlSample>("mPlSample", *myObEngine, ourType_mPlSample);
}

tlCmp::~tlCmp()
{
    // No pass may call into a component that is going, whoever owns the refresh engine.
    if (myRefresher)
        myRefresher->unschedule(static_cast<aRefreshable*>(this));

    delete myUi;
    myUi = nullptr;

    // The model goes quietly: with the engines out of reach, its recycle hooks raise nothing on
    // engines that may be going too.
    ObEngine* const data = std::exchange(myObEngine, nullptr);
    ObDirty* const dirt = std::exchange(myDirtEngine, nullptr);
    aStateEngine* const state = std::exchange(myStateEngine, nullptr);
    aRefresher* const refresher = std::exchange(myRefresher, nullptr);
    ObSelection* const selection = std::exchange(mySelectionEngine, nullptr);
    teardownModel();

    if (myOwnsObEngine)
        delete data;
    if (myOwnsDirtEngine)
        delete dirt;
    if (myOwnsStateEngine)
        delete state;
    if (myOwnsRefresher)
        delete refresher;
    if (myOwnsSelectionEngine)
        delete selection;

    if (ourCurrentCmp == this)
        ourCurrentCmp = nullptr;
}

void tlCmp::teardownModel()
{
    // The model goes while the engines it reaches are still there, and it reaches this
    // component: the timeline takes its layers, events and scales with it, then whatever else
    // lives in the pools is returned, the last registered type first.
    CurrentModel current(this, myScaleType.get(), myTimelineType.get(), myLayerType.get(),
                         mySkinType.get(), myEventType.get(), myPlSampleType.get());
    if (myTimelineHdl && myTimelineType && myTimelineType->ptrFromFile(myTimelineHdl))
        myTimelineHdl.dealloc();
    if (mySkinHdl && mySkinType && mySkinType->ptrFromFile(mySkinHdl))
        mySkinHdl.dealloc();
    myTimeline = nullptr;
    mySkin = nullptr;
    dropType(myPlSampleType, ourType_mPlSample);
    dropType(myEventType, ourType_mEvent);
    dropType(mySkinType, ourType_mSkin);
    dropType(myLayerType, ourType_mLayer);
    dropType(myTimelineType, ourType_mTimeline);
    dropType(myScaleType, ourType_mScale);
}

tlUi* tlCmp::getUi() const
{
    return myUi;
}

void tlCmp::clear()
{
    M_TRACE("tlCmp::clear - nothing to clear\n");
}

void tlCmp::printDirt(aRefreshContext*)
{
    if (!Ob::ourTrace)
        return;
    A_TRACE_C("icyan", "%64s\n", "");
    A_TRACE_C("icyan", "%51s%s\n", "", "REFRESH PHASE");
    A_TRACE_C("icyan", "%64s\n", "");
    if (myDirtEngine)
        myDirtEngine->printDirt();
}

void tlCmp::cleanDirt(aRefreshContext*)
{
    if (myDirtEngine)
        myDirtEngine->clearAllDirt();
    if (Ob::ourTrace) {
        A_TRACE("\n");
        A_TRACE("\n");
        A_TRACE("<---------------------------------------------- ACTION!\n");
    }
}

void tlCmp::cmpGetPanelTypeNames(std::list<rtl::str>& names) const
{
    names.emplace_back("Timeline");
    names.emplace_back("Timeline Ctrls");
}

int tlCmp::cmpNewPanel(QWidget* parent, char const* type)
{
    if (!myUi)
        return -1;
    int const id = myUi->newPanel(this, parent, type);
    M_TRACE("Got panel ID %i\n", id);
    return id;
}

pTimeline* tlCmp::getPanelById(int id)
{
    if (!myUi || id < 0)
        return nullptr;
    return myUi->getPanelById(id);
}

pCtrls* tlCmp::getCtrlsPanelById(int id)
{
    if (!myUi || id < 0)
        return nullptr;
    return myUi->getCtrlsPanelById(id);
}

bool tlCmp::resolveModel()
{
    mySkin = mySkinType ? mySkinType->ptrFromFile(mySkinHdl) : nullptr;
    myTimeline = myTimelineType ? myTimelineType->ptrFromFile(myTimelineHdl) : nullptr;
    return mySkin && myTimeline;
}

bool tlCmp::xmlWrite(XmlWriter& w)
{
    bool ok = true;
    if (myOwnsObEngine) {
        ok = w.startElement("objects") && ok;
        ok = myObEngine->xmlWrite(w) && ok;
        ok = w.endElement() && ok;
    }
    if (mySkinHdl)
        ok = Obh::xmlWriteHdl(w, "skin", mySkinHdl, nullptr) && ok;
    if (myTimelineHdl)
        ok = Obh::xmlWriteHdl(w, "timeline", myTimelineHdl, nullptr) && ok;
    return ok;
}

bool tlCmp::checkModel(XmlReader& r)
{
    std::string why;
    if (!myTimelineType || !myLayerType || !myEventType || !myScaleType ||
        mTimeline::checkRecords(*myTimelineType, *myLayerType, *myEventType, *myScaleType, why))
        return true;
    A_TRACE_C("red", "%s\n", why.c_str());
    r.fail(why.c_str());
    return false;
}

Obh tlCmp::newLayer()
{
    if (!myTimeline)
        return Obh();
    // The next event goes where the user just made room for it, and the user sees it there.
    Obh h = myTimeline->newLayer();
    myTimeline->setCurrentLayerHdl(h);
    myTimeline->revealLayer(h);
    return h;
}

Obh tlCmp::newEvent(Obh payload)
{
    if (!myTimeline)
        return Obh();
    Obh ev = myTimeline->newEvent(payload);
    if (mySelectionEngine)
        mySelectionEngine->setSelection(ev);
    if (myDirtEngine)
        myDirtEngine->setDirty(DirtSelection, true);
    return ev;
}

void tlCmp::deleteEvent(Obh ev)
{
    if (myTimeline)
        myTimeline->deleteEvent(ev);
}

bool tlCmp::refuse(XmlReader& r, char const* what)
{
    std::string const message = std::string("timeline_component: ") + what;
    A_TRACE_C("red", "%s\n", message.c_str());
    r.fail(message.c_str());
    return true;
}

bool tlCmp::readModelHdl(XmlReader& r, char const* name, Obt* type, Obh& hdl, bool& seen)
{
    std::string const element = std::string("\"") + name + "\"";
    if (seen)
        return !refuse(r, (element + " is given twice").c_str());
    Obh read;
    if (!Obh::xmlReadHdl(r, &read, nullptr))
        return !refuse(r, (element + " is not a readable handle").c_str());
    if (!type || read.getType() != type || !type->objFromFile(read))
        return !refuse(r, (element + " names no live object of its type").c_str());
    seen = true;
    hdl = read;
    return true;
}

bool tlCmp::xmlReadStartElement(XmlReader& r, char const* name, int)
{
    if (std::strcmp(name, "timeline") == 0) {
        myTimeline = nullptr;
        if (readModelHdl(r, name, myTimelineType.get(), myTimelineHdl, myReadTimeline))
            myTimeline = myTimelineType->ptrFromFile(myTimelineHdl);
        return true;
    }
    if (std::strcmp(name, "skin") == 0) {
        M_TRACE_C("ired", "tlCmp:: READING SKIN!\n");
        mySkin = nullptr;
        if (readModelHdl(r, name, mySkinType.get(), mySkinHdl, myReadSkin))
            mySkin = mySkinType->ptrFromFile(mySkinHdl);
        return true;
    }
    if (std::strcmp(name, "objects") == 0) {
        // The handles name objects of this part: read before it they would name the old ones.
        if (myReadObjects)
            return refuse(r, "\"objects\" is given twice");
        if (myReadSkin || myReadTimeline)
            return refuse(r, "\"objects\" comes after the handles that name its objects");
        myReadObjects = true;
        if (myOwnsObEngine)
            myObEngine->xmlReadPrep();
        if (r.isEmptyElement()) { // no end follows: an empty store
            if (myOwnsObEngine)
                myObEngine->xmlReadPost(true);
            return true;
        }
        M_TRACE("tlCmp::found <objects>, pushing myObEngine\n");
        r.pushHandler(myObEngine, nullptr);
        return true;
    }
    return false;
}

bool tlCmp::xmlReadEndElement(XmlReader& r, char const* name)
{
    if (std::strcmp(name, "objects") == 0) {
        M_TRACE("tlCmp::found </objects>, popping myObEngine\n");
        r.popHandler();
        // The store's objects are checked before any of their post-load hooks runs.
        if (myOwnsObEngine)
            myObEngine->xmlReadPost(checkModel(r));
        return true;
    }
    if (std::strcmp(name, "timeline_component") == 0) {
        // The end of the part: whatever it named (or left as it was) must be live now, since
        // reading objects replaces the ones made at construction.
        bool const complete = resolveModel();
        myReadObjects = myReadSkin = myReadTimeline = false;
        if (!complete)
            refuse(r, "no live skin and timeline after the part");
        else if (!myOwnsObEngine)
            checkModel(r);
        return false; // the end belongs to the handler that pushed the component
    }
    return false;
}
