#pragma once

#include "FastDelegate3.h"
#include "aTimeDelta.h"
#include "aTs.h"
#include "mGridline.h"
#include "mLocalFields.h"
#include "mRangeData.h"
#include "tlObj.h"

#include <map>
#include <utility>
#include <vector>

class tlUnits;
class mRangeSetup;

// One calendar (or numeric) unit that can be a header row: one second, five minutes, a day, a
// month, ten years... The zoom policy makes one range per unit and decides which are shown; each
// shown range lays the gridlines of its unit over the visible window, column by column, sharing
// tick and label columns with the other header rows, and labels them to fit.
//
// A grid build, driven by the scale: beginGrid on every visible range; for each pixel column
// from left to right checkBuildGridline on every range (last visible first) with the same two
// maps; finishGrid on every range, which adds the leading gridline and labels the grid.
//
// Kinds of unit are subclasses: they give the unit's length, the boundary test, the weights,
// the tick colours and the labeling schemes.
class mRange : public mRangeData, public tlObj
{
public:
    // Writes the label of a gridline (gridline, seconds per pixel, text out).
    using LabelCallback = fastdelegate::FastDelegate3<mGridline*, double, rtl::str&, void>;
    // The largest share, in percent, of one unit's pixel width a label may take, and its maker.
    using LabelingScheme = std::pair<float, LabelCallback>;
    // Pixel column to the header row that claimed its label.
    using LabelOwners = std::map<int, int>;
    // Pixel column to the index of the range that claimed its tick.
    using TickOwners = std::map<int, int>;
    // (font size, scheme position; -1 for the preset's format) to whether every label fits.
    using LabelFits = std::map<std::pair<int, int>, bool>;

    mRange(tlUnits* units, int index, double zoomBegin, double zoomEnd);
    ~mRange() override;

    virtual rtl::str desc() const;
    // 1 when zoomBegin <= zoom <= zoomEnd, else 0.
    virtual double getVisibility(double zoom) const;
    // Whether a boundary of the unit lies between the times of two neighbouring columns.
    virtual bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const = 0;
    virtual double getSecondsPerUnit() const = 0;
    virtual bool calcTickBgColor(mGridline* g, double zoom, int& r, int& gr, int& b, int& a) const;
    virtual bool calcTickFgColor(mGridline* g, double zoom, int& r, int& gr, int& b, int& a) const;
    virtual void roundTimeToUnits(aTs& t) const;
    // Entries of the grid, the leading gridline (entry 0) included.
    virtual int getNumGridlines() const;
    virtual mGridline* getGridline(int i) const;
    virtual bool timeIsMajorGrid(aTs const& t) const;
    virtual bool timeIsMinorGrid(aTs const& t) const;

    void beginGrid(aTs const& start, aTs const& end, aTimeDelta const& zoom, double x0, double x1);
    void checkBuildGridline(aTs const& previous, aTs const& current, aTimeDelta const& zoom, double x,
                            LabelOwners& labelOwners, TickOwners& tickOwners);
    void finishGrid(aTs const& start, aTimeDelta const& zoom, double x);
    void clearGrid();
    // Which grid build made the grid the range holds: each scale stamps the ranges it lays out,
    // since every scale of the process shares them. 0 for none, or a grid begun by other means.
    unsigned long gridStamp() const { return myGridStamp; }
    void setGridStamp(unsigned long stamp) { myGridStamp = stamp; }
    // The whole column scan for this range alone (beginGrid must have made the list).
    void buildGrid(aTs& start, aTs& end, aTimeDelta& zoom, double x0, double x1, LabelOwners& labelOwners,
                   TickOwners& tickOwners);

    void usePresetLabelingScheme(aTimeDelta const& zoom);
    void autoPickLabelingScheme(aTimeDelta const& zoom);
    void pickBestComboAndSetLabels(aTimeDelta const& zoom, LabelFits& fits);

    tlUnits* getUnitsPolicy() const { return myUnits; }
    mRangeSetup* getRangeSetup() const { return myRangeSetup; }
    void setRangeSetup(mRangeSetup* rs) { myRangeSetup = rs; }
    std::vector<LabelingScheme> const& labelingSchemes() const { return myLabelingSchemes; }

protected:
    // The local fields of a time (remembered within a grid build).
    static mLocalFields fieldsOf(aTs const& t) { return mLocalFields::of(t); }
    // The whole quotient of floor division: 0 to n-1 give 0, n to 2n-1 give 1, ...
    static int floorBucket(double v, double n);
    static int floorBucket(int v, int n)
    {
        int const q = v / n;
        return (v % n != 0 && ((v < 0) != (n < 0))) ? q - 1 : q;
    }
    // The time rebuilt from changed local fields (the system normalises fields out of range);
    // unchanged when that fails.
    static void setFields(aTs& t, int year, int month, int day, int hour, int minute, int second, long ns = 0);
    // The text of the label of a preset row's format for a time ("" when nothing is produced).
    rtl::str presetLabel(aTs const& t, rtl::str const& format) const;

    tlUnits* myUnits;
    mRangeSetup* myRangeSetup = nullptr;
    std::vector<LabelingScheme> myLabelingSchemes;
    std::vector<mGridline*>* myGridlines = nullptr;
    aTs myGridStart;
    double myGridBeginX = 0.0;
    double myGridEndX = 0.0;
    double myGridSecondsPerPixel = 0.0;
    unsigned long myGridStamp = 0;

private:
    static long offsetStepSecond(aTs const& previous, aTs const& current, long offsetBefore);
    bool boundaryInColumn(aTs const& previous, aTs const& current, double secsPerPixel) const;
    void lookUpRangeSetup(double secsPerPixel);
    void placeLeadingGridline(aTs const& start, double secsPerPixel, double xWithoutBoundary);
    void labelGrid(aTimeDelta const& zoom);
    void measure(int size, char const* text, int& w, int& h) const;
    void dropCrowdedLabels(int size, int hAlign);
};
