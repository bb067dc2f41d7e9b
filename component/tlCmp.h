#pragma once

#include "Obh.h"
#include "aRefreshable.h"
#include "str.h"
#include "tlCmpData.h"
#include "tlObj.h"
#include "tlSyncContext.h"

#include <list>
#include <memory>
#include <span>

class ObDirty;
class ObEngine;
class ObSelection;
class QWidget;
class XmlReader;
class XmlWriter;
class aRefreshContext;
class aRefresher;
class aStateEngine;
class pCtrls;
class pTimeline;
class tlUi;

// The timeline component: one per open document. It binds the document's five engines (made
// here for those not handed in) to the timeline model: it registers the six model types, declares
// the dirt ids and installs the clean rules of every refresh step, makes the skin, the timeline
// and the registry of panels and editors, opens every refresh pass with a dirt trace and closes
// it by clearing all dirt. It reads and writes the "timeline_component" part of a document and
// builds the panels that windows ask for by type name.
//
// The model objects live in the store's pools and are reached by handle; the component owns the
// six pools it made, the registry and the engines it made itself. A document deletes its
// component before the engines it handed in.
class tlCmp : public tlCmpData, public tlObj, public aRefreshable
{
public:
    // Each engine may be null: the component then makes and owns one.
    tlCmp(ObEngine* data, ObDirty* dirt, aStateEngine* state, ObSelection* selection,
          aRefresher* refresher);
    ~tlCmp() override;
    tlCmp(tlCmp const&) = delete;
    tlCmp& operator=(tlCmp const&) = delete;

    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    // The content of the "timeline_component" part: "objects" (only when the component owns its
    // store), then the handles "skin" and "timeline" (each only when valid).
    bool xmlWrite(XmlWriter& w) override;
    void cmpGetPanelTypeNames(std::list<rtl::str>& names) const override;
    // The id of a new panel of the type ("Timeline" or "Timeline Ctrls"), or -1.
    int cmpNewPanel(QWidget* parent, char const* type) override;

    virtual pTimeline* getPanelById(int id);
    virtual pCtrls* getCtrlsPanelById(int id);
    // Nothing to clear: the model is the store's, the panes the windows'.
    virtual void clear();
    // The timeline's own operations; a new event becomes the selection alone, a new layer the
    // current one, moved into view. Without a timeline nothing is made.
    virtual Obh newLayer();
    virtual Obh newEvent(Obh payload);
    virtual void deleteEvent(Obh ev);
    virtual tlUi* getUi() const;
    // The two refresh steps that close and open every pass.
    virtual void cleanDirt(aRefreshContext* ctx);
    virtual void printDirt(aRefreshContext* ctx);

    ObEngine* getCmpDataEngine() const { return myObEngine; }
    ObDirty* getCmpDirtEngine() const { return myDirtEngine; }
    aStateEngine* getCmpStateEngine() const { return myStateEngine; }
    ObSelection* getCmpSelectionEngine() const { return mySelectionEngine; }
    aRefresher* getCmpRefreshEngine() const { return myRefresher; }
    mSkin* getCmpSkin() const { return mySkin; }
    mTimeline* getCmpTimeline() const { return myTimeline; }
    Obh getTimelineHdl() const { return myTimelineHdl; }
    Obh getSkinHdl() const { return mySkinHdl; }

    // Resolves the skin and the timeline again from their handles, through the checked lookup:
    // true when both name live objects of their types. A document that was read must pass this
    // before anything draws; reading the component's part does it at the part's end.
    bool resolveModel();

    // Which engines the component made itself (and deletes).
    bool ownsDataEngine() const { return myOwnsObEngine; }
    bool ownsDirtEngine() const { return myOwnsDirtEngine; }
    bool ownsStateEngine() const { return myOwnsStateEngine; }
    bool ownsSelectionEngine() const { return myOwnsSelectionEngine; }
    bool ownsRefreshEngine() const { return myOwnsRefresher; }

    // One clean rule: the step's name and when it holds. The condition names dirt ids without
    // their prefix "Dirt": "A|B|C" holds when any is raised; "A&!B&!C" when A is raised and
    // neither B nor C; an empty condition never holds.
    struct CleanRule
    {
        char const* step;
        char const* when;
    };
    // The rules of the timeline's refresh steps, in their order of installation.
    static std::span<CleanRule const> cleanRules();
    // Installs them on a dirt engine whose ids are declared (tlObj::declareDirtIds).
    static void installCleanRules(ObDirty& dirt);
    // Installs rules of the same form, in their order.
    static void installCleanRules(ObDirty& dirt, std::span<CleanRule const> rules);

    ObEngine* myObEngine = nullptr;
    ObDirty* myDirtEngine = nullptr;
    aStateEngine* myStateEngine = nullptr;
    ObSelection* mySelectionEngine = nullptr;
    aRefresher* myRefresher = nullptr;
    bool myOwnsObEngine = false;
    bool myOwnsDirtEngine = false;
    bool myOwnsStateEngine = false;
    bool myOwnsSelectionEngine = false;
    bool myOwnsRefresher = false;
    Obh mySkinHdl;
    mSkin* mySkin = nullptr;
    Obh myTimelineHdl;
    mTimeline* myTimeline = nullptr;
    tlUi* myUi = nullptr;
    tlSyncContext mySyncContext;

private:
    void registerTypes();
    void teardownModel();
    // Reads the handle element of the skin or the timeline; false (the reader told why) when
    // it is malformed, repeated, or names no live object of the type.
    bool readModelHdl(XmlReader& r, char const* name, Obt* type, Obh& hdl, bool& seen);
    bool refuse(XmlReader& r, char const* what);
    // Whether the model objects read form a sound model; refuses the document when not.
    bool checkModel(XmlReader& r);

    // The pools this component made: kept until it goes, then emptied and deleted.
    std::unique_ptr<ObClassTypeOf<mScale>> myScaleType;
    std::unique_ptr<ObClassTypeOf<mTimeline>> myTimelineType;
    std::unique_ptr<ObClassTypeOf<mLayer>> myLayerType;
    std::unique_ptr<ObClassTypeOf<mSkin>> mySkinType;
    std::unique_ptr<ObClassTypeOf<mEvent>> myEventType;
    std::unique_ptr<ObClassTypeOf<mPlSample>> myPlSampleType;

    // What the part being read held so far.
    bool myReadObjects = false;
    bool myReadSkin = false;
    bool myReadTimeline = false;
};
