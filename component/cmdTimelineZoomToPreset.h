#pragma once

#include "tlCmd.h"

// The control panel's zoom presets: the time scale shows a fixed number of seconds per pixel
// (quantised by its units).
class cmdTimelineZoomToPreset : public tlCmd
{
public:
    explicit cmdTimelineZoomToPreset(double secondsPerPixel);
    bool cmdAction() override;

    double zoom() const { return myZoom; }

private:
    double myZoom;
};

// A tenth of a second a pixel.
class cmdTimelineZoomToPreset_Seconds : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Seconds();
    static cmdTimelineZoomToPreset_Seconds ourInstance;
};

// 15 seconds a pixel.
class cmdTimelineZoomToPreset_Minutes : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Minutes();
    static cmdTimelineZoomToPreset_Minutes ourInstance;
};

// A minute a pixel.
class cmdTimelineZoomToPreset_Hours : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Hours();
    static cmdTimelineZoomToPreset_Hours ourInstance;
};

// 60 pixels a day.
class cmdTimelineZoomToPreset_Days : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Days();
    static cmdTimelineZoomToPreset_Days ourInstance;
};

// 60 pixels a week.
class cmdTimelineZoomToPreset_Weeks : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Weeks();
    static cmdTimelineZoomToPreset_Weeks ourInstance;
};

// 60 pixels for 28 days.
class cmdTimelineZoomToPreset_Months : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Months();
    static cmdTimelineZoomToPreset_Months ourInstance;
};

// 60 pixels for 365 days.
class cmdTimelineZoomToPreset_Years : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Years();
    static cmdTimelineZoomToPreset_Years ourInstance;
};
