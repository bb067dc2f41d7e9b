#pragma once

#include "tlCmd.h"

// "Fit Selected": the view shows the time and the rows of the selection (the selected events
// with their markers, the selected layers, the ruler's time selection), with a margin of 5 %.
// An axis whose range is empty (a point in time, a hidden layer) is left as it is. The time axis
// shows no instants without dates: its window stops at their edge, and a range wholly beyond
// them leaves it as it is.
class cmdViewFitSelected : public tlCmd
{
public:
    cmdViewFitSelected();
    // Succeeds also when nothing is selected.
    bool cmdAction() override;

    static cmdViewFitSelected ourInstance;

protected:
    cmdViewFitSelected(bool fitTime, bool fitRows);

private:
    bool myFitTime;
    bool myFitRows;
};
