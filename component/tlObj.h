#pragma once

#include <cstdint>
#include <span>

class ObDirty;
class Obh;
class ObEngine;
class ObSelection;
class aRefresher;
class aStateEngine;
class ctHndQt;
class mEvent;
class mLayer;
class mPlSample;
class mScale;
class mSkin;
class mTimeline;
class tlCmp;
class tlUi;
template <class T> class ObClassTypeOf;

// Common base of every timeline-side class (the scale and its ranges, the model objects, the
// component, the registry and the scene, the views): the way to the component that owns the
// document's engines, and the statics the whole timeline side shares.
//
// Every accessor goes through the object's own component, else the current one. With neither
// there is nothing to reach: the accessors answer null rather than stopping, so that a pane or
// a command outliving its document does no harm.
//
// The virtual slots stay in this order: destructor, then getSceneYScale.
class tlObj
{
public:
    tlObj();
    virtual ~tlObj();

    // Zoom of the timeline's row (perpendicular) scale: row model units per scene pixel. Without
    // a timeline there is no row scale; the answer is then 1 (one row unit per pixel).
    virtual double getSceneYScale() const;

    // The object's component, else the current one; may be null.
    tlCmp* getCmp() const;
    tlUi* getUi() const;
    mSkin* getSkin() const;
    mTimeline* getTimeline() const;
    ObEngine* getDataEngine() const;
    ObDirty* getDirtEngine() const;
    aStateEngine* getStateEngine() const;
    aRefresher* getRefreshEngine() const;
    ObSelection* getSelectionEngine() const;
    // The timeline's TIME scale and its row (PERP) scale; null without a timeline.
    mScale* getTimelineTimeScale() const;
    mScale* getTimelinePerpScale() const;

    // The layer or the event a handle names in the current pools; null for an empty handle, one
    // of another type, one whose object is gone, or before any component made its pools.
    static mLayer* layerOf(Obh const& h);
    static mEvent* eventOf(Obh const& h);

    // Raises a dirt id on the component's dirt engine (which asks for a refresh pass). Nothing
    // without a component, or for an id no component has declared yet.
    void raiseDirt(uint32_t id) const;
    // Asks the component's refresh engine for a pass; nothing without a component.
    void requestRefresh() const;
    // Marks an object as changed for the views (a dirty item); nothing when it is marked already.
    void markDirtyItem(Obh const& h) const;
    // The line "HERE  - <file name>, line <line>" straight to standard output, with the source
    // file's own name (__FILE__ may carry the whole path the compiler was given); only while the
    // busy paths trace (Ob::ourTrace).
    static void traceHere(char const* file, int line);

    // Whether two spans along one axis overlap. A negative length runs backwards from its start;
    // spans that only touch do not overlap.
    static bool dimIntersects(double aStart, double aLength, double bStart, double bLength);

    // The times 15 pixels before and after an instant at t on the timeline's time scale: the
    // extent an instant takes on screen. Without a timeline both are t.
    void getImpulseBeforeAfter(double t, double& before, double& after) const;

    // Pixels an instant's marker takes on each side of its time.
    static constexpr double ImpulseHalfWidth = 15.0;

    // The component this object belongs to; null means "the current component".
    tlCmp* myCmp = nullptr;

    // The current component: the newest one, or the last that asked for a panel. The component
    // clears it when it goes.
    static tlCmp* ourCurrentCmp;

    // The one hand of the program: the last press on a scene item and the handful being dragged.
    static ctHndQt ourHand;

    // The pools of the six model types, set by the newest component and cleared with it.
    static ObClassTypeOf<mScale>* ourType_mScale;
    static ObClassTypeOf<mTimeline>* ourType_mTimeline;
    static ObClassTypeOf<mLayer>* ourType_mLayer;
    static ObClassTypeOf<mSkin>* ourType_mSkin;
    static ObClassTypeOf<mEvent>* ourType_mEvent;
    static ObClassTypeOf<mPlSample>* ourType_mPlSample;

    // The dirt ids of the timeline, in their order of declaration. Every new component declares
    // them on its dirt engine and overwrites these with its own numbers.
    static uint32_t DirtSelection;
    static uint32_t DirtScene;
    static uint32_t DirtReset;
    static uint32_t DirtTick;
    static uint32_t DirtLayerStackingInTimeline;
    static uint32_t DirtActiveEvents;
    static uint32_t DirtLayerTimeScale;
    static uint32_t DirtNumRowsInLayer;
    static uint32_t DirtUserEditedAttrs;
    static uint32_t DirtTrans;
    static uint32_t DirtTimeScalePanToNow;
    static uint32_t DirtTimeScaleLockToNowChanged;
    static uint32_t DirtTimeScaleZoom;
    static uint32_t DirtTimeScalePan;
    static uint32_t DirtLayout;
    static uint32_t DirtEventsDroppedInRow;
    static uint32_t DirtActiveLayers;
    static uint32_t DirtEventSetInLayer;
    static uint32_t DirtNewEvent;
    static uint32_t DirtSelectionByTimeDisabled;
    static uint32_t DirtTimeSelectionChanged;
    static uint32_t DirtRubberBandSelectionStart;
    static uint32_t DirtLayerHidingChanged;
    static uint32_t DirtEventWasDeleted;
    static uint32_t DirtEventColorChanged;
    static uint32_t DirtLayerColorChanged;
    static uint32_t DirtDocNameChanged;
    static uint32_t DirtDocJustSynced;
    static uint32_t DirtDocFileChange;
    static uint32_t DirtLayerHeaderBgClicked;
    static uint32_t DirtLayerHeaderClicked;
    static uint32_t DirtRowScalePan;
    static uint32_t DirtRowScaleZoom;
    static uint32_t DirtLayerControlVisibility;
    static uint32_t DirtNewHandful;
    static uint32_t DirtClearHandful;
    static uint32_t DirtTimelineWindowShown;
    static uint32_t DirtDocLoaded;

    // One dirt id: the name the engine is given (the static's own name) and the static.
    struct DirtDecl
    {
        char const* name;
        uint32_t* id;
    };
    // The 38 ids in their order of declaration.
    static std::span<DirtDecl const> dirtDecls();
    // The id of a name of that table ("DirtSelection", or "Selection" without the prefix), or
    // null for a name it does not hold.
    static uint32_t* dirtIdNamed(char const* name);
    // Declares the ids on a dirt engine, in order, and keeps their numbers in the statics.
    static void declareDirtIds(ObDirty& dirt);

    // Refresh levels of the timeline side: a pass runs them in ascending order, so the model
    // settles (layers, then the timeline) before the panes, the items and the document.
    enum RefreshLevel : int
    {
        LevelPrintDirt = 0,      // the component's dirt trace opens every pass
        LevelLayer = 150,        // every layer
        LevelTimeline = 200,     // the timeline: scales, selection by time, restack, scene sync
        LevelTimelinePane = 450, // the timeline pane
        LevelLayerItem = 499,    // every layer item
        LevelViews = 500,        // the other panes, event items, the main window, the document
        LevelCleanDirt = 1000,   // the component clears all dirt: nothing survives a pass
    };
};
