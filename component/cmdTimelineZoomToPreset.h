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
