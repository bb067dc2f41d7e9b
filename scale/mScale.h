#pragma once

#include "aTimeDelta.h"
#include "aTs.h"
#include "mScaleData.h"
#include "tlObj.h"

#include <climits>
#include <cmath>
#include <set>
#include <vector>

class XmlReader;
class XmlWriter;
class mRange;
class mRangeSetups;
class tlUnits;
class tlUnitsNumeric;
class tlUnitsTime;

// The axis of a timeline or a layer: maps local values (an instant, or a plain number held in
// the same field as seconds since 1970) to parent pixel positions in [parentPos,
// parentPos + parentSize] and back. It holds the visible window, the zoom (value per pixel),
// a point or span selection with the last selection, and optional clamps. Its units (the shared
// calendar or numeric zoom policy) choose the header rows; it builds their grid over the window.
//
// Lazy: changes of zoom or geometry only raise flags; the next mapping call (or a caller through
// needsReconfig and reconfig) quantises the zoom, picks the ranges, refits the window around a
// centre when asked, clamps it and rebuilds the grid when the geometry changed. The window,
// flags, grid and selection bookkeeping change also in operations declared const.
//
// An owner chooses the units (setTimeUnits or setNumericUnits) before using the scale. A zero or
// negative parent size never stops the program: the window is then left as it is.
class mScale : public mScaleData, public tlObj
{
public:
    // Kinds of selection.
    enum SelectionType { SelNone = 0, SelPoint = 1, SelSpan = 2 };

    // A stored parent size or position beyond this is clamped on load: the grid scans every pixel.
    static constexpr int MaxParentSize = 100000;
    // The largest zoom, in days per pixel and in seconds per pixel (about 11.8 million years): a
    // window of any parent size at it is still a length of time. Larger zooms are held at it; a
    // stored zoom beyond it is refused, so every zoom a scale holds reads back.
    static constexpr long MaxZoomDays = LONG_MAX / INT_MAX;
    static constexpr double MaxZoom = double(MaxZoomDays) * 86400.0;
    // Every instant within this many seconds of 1970 (about 317 million years) has a date in
    // every zone, with room around it for the gridlines of the coarsest unit: a window within
    // them shows dates from end to end. A time scale's zooms and pans keep its window there (the
    // raw window setters aside), so that nothing picked on it lies where no date can be saved.
    static constexpr double DatedSeconds = 1e16;

    mScale();
    ~mScale() override;

    // Object lifecycle and persistence.
    void clearObj() override;
    void initObj() override;
    void recycleObj() override;
    void postLoadHook() override;
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    bool xmlWrite(XmlWriter& w) override;
    char const* xmlGetObjectTypeName() override { return "mScale"; }
    using ObObj::dump;
    void dump(char const* prefix, int indent) const override;

    // Geometry: a change raises the reconfiguration and recentring flags.
    bool setParentPos(int v) override;
    bool setParentSize(int v) override;
    void hookUnitType(rtl::str old, rtl::str now) override;

    virtual double getZoom() const;
    virtual long getZoomWhole() const;
    virtual long getZoomFract() const;
    virtual aTimeDelta getZoomDelta() const;
    virtual double getPixelsPerValue() const;
    virtual bool checkScreenPos(int p) const;
    virtual void sizeChanged();
    virtual double getMinVisValue() const;
    virtual double getMaxVisValue() const;

    // Units.
    tlUnits* setTimeUnits();
    tlUnits* setNumericUnits();
    tlUnits* setNumericUnits(double a, double b);
    tlUnits* getUnits() const;
    bool isTimeScale() const;

    // Mapping.
    double localToParent(aTs const& t) const;
    double localToParent(double v) const;
    // localToParent of seconds as the scale stands, inline, for walks that map many times: the
    // same pixels.
    class Pixels
    {
    public:
        explicit Pixels(mScale const& scale);
        double operator()(double v) const
        {
            // The instant fromSeconds makes of v, read without making it: its whole seconds and
            // its nanoseconds share v's sign and need no carrying, far within a count of
            // seconds.
            if (!(std::fabs(v) < 9e18))
                return exact(v);
            long const sec = static_cast<long>(v);
            long const ns = static_cast<long>((v - double(sec)) * 1e9);
            if (ns >= 1000000000L || ns <= -1000000000L) // rounded up to a carry
                return exact(v);
            if (myWindow == 0.0)
                return myPos;
            long d = 0;
            double const since =
                (__builtin_sub_overflow(sec, mySec, &d) ? double(sec) - double(mySec) : double(d)) +
                double(ns - myNs) * 1e-9;
            return myPos + mySize * since / myWindow;
        }

        // floor and ceil of the pixel: exact, from a product of doubles where that is clearly
        // away from a whole pixel (a crowded row's walk asks nothing else).
        double floorAt(double v) const
        {
            double const q = quick(v), e = slack(v, q), f = floorOf(q);
            return q - f > e && f + 1 - q > e ? f : floorOf((*this)(v));
        }
        double ceilAt(double v) const
        {
            double const q = quick(v), e = slack(v, q), c = ceilOf(q);
            return c - q > e && q - (c - 1) > e ? c : ceilOf((*this)(v));
        }
        double perSecond() const { return myPerSecond; }
        // std::floor and std::ceil, inline for what a view meets.
        static double floorOf(double x)
        {
            if (!(std::fabs(x) < 9e18))
                return std::floor(x);
            double const t = double(static_cast<long>(x));
            return t > x ? t - 1 : t;
        }
        static double ceilOf(double x)
        {
            if (!(std::fabs(x) < 9e18))
                return std::ceil(x);
            double const t = double(static_cast<long>(x));
            return t < x ? t + 1 : t;
        }

    private:
        // Through the instant itself: what a value too large or too close to a carry needs.
        double exact(double v) const;
        double quick(double v) const { return myPos + (v - myStart) * myPerSecond; }
        // How far quick may lie from the exact pixel: the rounding of the window's start and of
        // v to doubles and to the nanosecond, and of the sums, with room to spare.
        double slack(double v, double q) const
        {
            double const rounding = (std::fabs(myStart) + std::fabs(v - myStart)) * 1e-15 + 2e-9;
            return std::fabs(myPerSecond) * rounding + (std::fabs(q) + std::fabs(myPos)) * 1e-14 +
                   1e-9;
        }

        mScale const& myScale;
        long mySec;
        long myNs;
        double myWindow;
        double myPos;
        double mySize;
        double myStart;
        double myPerSecond;
    };
    aTs parentToLocal(double x) const;
    void getLocalSpan(aTs& start, aTs& end) const;
    aTs const& getVisStart() const { return myVisStart; }
    aTs const& getVisEnd() const { return myVisEnd; }
    void setVisStart(double v) const;
    void setVisEnd(double v) const;
    void setVisStart(aTs const& t) const;
    void setVisEnd(aTs const& t) const;

    // Amounts of time.
    aTimeDelta makeTimeDelta(double days, double secs, double ns) const;
    aTimeDelta makeTimeDeltaMult(aTimeDelta const& d, double f) const;
    double simplifyTd(double days, double secs, double ns) const;
    double timedeltaSecs(aTimeDelta const& d) const;
    double fact() const { return 1.1; }
    // The smallest length not below c that fits a whole number of times into the parent size;
    // the parent size itself when c does not fit once.
    double roundChunkSize(double c) const;
    double chunkSizeForUnits(int) const;

    // Ranges and grid.
    std::vector<mRange*>* getVisRanges() const { return &myVisRanges; }
    mRange* getRange() const { return myRange; }
    mRangeSetups* getRangeSetups() const { return myRangeSetups; }
    void clearGrid() const;
    void buildGrid() const;
    void moveEnd();
    void moveRange(int years, int months, int days, int hours, int minutes, int seconds, int ns);

    // Zoom, pan and reconfiguration.
    void setZoom(double z);
    void zoomIn();
    void zoomOut();
    // n zoom steps that keep the value under parent position x at x (the middle for an x off
    // the axis).
    void zoomInAtLocalPos(double x, int n);
    void zoomOutAtLocalPos(double x, int n);
    // A window of the current zoom that keeps the value under x at x.
    void postCenterZoomAtTimePos(double x);
    void zoomToLocalRange(aTs const& a, aTs const& b, float factor);
    void zoomToLocalRange(double a, double b, float factor);
    void nudgeVisibleWindowForward(double f);
    void nudgeVisibleWindowBackward(double f);
    void clampPan(aTimeDelta const& dt, bool doMin, bool doMax) const;
    // Also true when a range this scale shows holds another scale's grid (they are shared).
    bool needsReconfig() const;
    void setNeedsReconfig(bool b) { myNeedsReconfig = b; }
    void reconfig() const;

    // Centring: t at fraction pct of the width; a zero span keeps the width (the caller's span
    // comes back as the width used).
    void centerOnLocalPos(aTs const& t, double pct, aTimeDelta& span) const;
    void centerOnLocalPos() const;
    void centerOnLocalPos(double pct, aTimeDelta& span) const;
    void centerOnLocalPos(aTs const& t) const;
    void centerOnLocalPos(double v, double pct) const;
    void centerOnLocalPos(aTs const& t, double pct) const;
    void centerOnLocalPos(double v, double pct, aTimeDelta& span) const;
    void viewCurrentTime(bool select);

    // Selection.
    void localSelectAtParentPos(int x);
    void localSelectAtParentSpan(int x1, int x2);
    int selectionType() const { return mySelType; }
    void getSelection(aTs& start, aTs& end, int& kind) const;
    aTs const& getSelStart() const { return mySelStart; }
    aTs const& getSelEnd() const { return mySelEnd; }
    double getSelStartPos() const { return mySelStartPos; }
    void saveLastSelection();
    void getLastSelection(aTs& start, aTs& end, int& kind) const;
    void clearLocalSelection();
    void zoomToLocalSelection(bool& zoomed, bool& moved);

    // A scroll bar for the window within the clamps, in pixels; false when the scale has no
    // such state (no clamps, or clamps the wrong way round).
    bool getScrollbarState(bool& show, double& pos, double& min, double& max, double& pageStep) const;

    // A point in time as a timestamp element (local fields with their offset); false, and
    // nothing written, when the fields cannot be had. A null name writes onto the open element.
    static bool xmlWriteTs(XmlWriter& w, aTs const& ts, char const* name);
    // Reads a timestamp ("yr" and the fields, or "num") from the element the reader stands on.
    // False, with the timestamp unchanged, when the element has neither; damaged fields are
    // refused through the reader with a message. A missing "dst" or "gmtOffsetSecs" (older or
    // hand-written files) is no damage: the offset decides the instant, else the zone's rules.
    static bool xmlReadTs(XmlReader& r, aTs& ts);
    // The same, naming the element in the messages of a refusal.
    static bool xmlReadTs(XmlReader& r, aTs& ts, char const* element);

    static tlUnitsTime* ourTimeUnits;
    static tlUnitsNumeric* ourNumericUnits;

private:
    static void makeUnits();
    void resetState();
    // The window, zoom or geometry changed since the last layout; what mapping needs.
    bool needsLayout() const;
    // Every range shown holds the grid this scale built last.
    bool holdsItsGrid() const;
    void traceNeedsReconfig(char const* what) const;
    void raiseIfMoved(aTs const& oldStart, aTs const& oldEnd, char const* what) const;
    // The largest zoom: MaxZoom, and on a time scale with a size no more than spreads the dated
    // times across it.
    double zoomLimit() const;
    // Moves a time scale's window back within the dated times, keeping its width, or cuts it to
    // them when it is wider.
    void keepDated() const;
    // The value under parent position x, on a time scale no farther out than the dated times: a
    // pointer dragged far past the axis picks nothing without a date.
    aTs pickAt(int x) const;
    void nudge(double f, bool forward);
    void zoomAtLocalPos(double x, int n, bool in);
    // The value under parent position x and its fraction of the width (the middle for an x off
    // the axis); false, with a trace, when there is no axis.
    bool valueAtPixel(double x, aTs& t, double& pct) const;
    // Puts t at fraction pct of a window of the current zoom.
    void keepValueAt(aTs const& t, double pct);
    bool readState(XmlReader& r, char const* name, bool& handled);

    tlUnits* myUnits = nullptr;
    mutable std::set<mRange*> myRangesWithGrids;
    mutable bool myNeedsReconfig = true;
    mutable bool myNeedsRecenter = false;
    mutable mRangeSetups* myRangeSetups = nullptr;
    mutable int mySelType = SelNone;
    mutable aTs mySelStart;
    mutable aTs mySelEnd;
    mutable double mySelStartPos = 0.0;
    mutable aTs myLastSelStart;
    mutable aTs myLastSelEnd;
    mutable int myLastSelType = SelNone;
    mutable std::vector<mRange*> myVisRanges;
    mutable mRange* myRange = nullptr;
    mutable aTs myVisStart;
    mutable aTs myVisEnd;
    mutable aTimeDelta myZoom{0L, 1L, 0L};
    // The geometry of the last grid build; none yet forces the first reconfiguration to build.
    mutable int myGridParentPos = -1;
    mutable int myGridParentSize = -1;
    mutable double myGridZoom = -1.0;
    mutable aTs myGridVisStart{-1.0};
    // The stamp of this scale's last grid build, unique in the process; 0 before the first.
    mutable unsigned long myGridStamp = 0;
};
