#pragma once

#include "ObQtCmd.h"
#include "tlObj.h"

#include <vector>

class ObDoc;
class mLayer;
class mTimeline;

// Base of the menu commands that act on the timeline. A command is a single instance made before
// main and keeps no document: every test and every run looks up the current component afresh, so
// a command never reaches a document that has gone. Without a current document, or without a
// current component with its timeline, a command is inactive, and its action fails doing nothing.
class tlCmd : public ObQtCmd, public tlObj
{
public:
    tlCmd();
    ~tlCmd() override;

    // A current document and a current component with its timeline.
    bool isActiveTest() const override;

    // The application's current document, or null (also without an application).
    static ObDoc* currentDoc();
    // Whether there is a current document and a timeline on the object's component.
    static bool docAndTimeline(tlObj const& obj);
    // The layers a layer command acts on (the selected ones, else all) that still are layers.
    static std::vector<mLayer*> layersToActOn(mTimeline& tl);
};
