#pragma once

class tlCmp;

// Common base of every timeline-side class (the scale and its ranges, the model objects, the
// component, the views): the way to the component that owns the document's engines.
//
// Only the part the time scale needs is here: construction, destruction and the row-zoom query.
// The component completes this class (its statics, accessors and geometry helpers) in place; the
// virtual slots stay in this order: destructor, then getSceneYScale.
class tlObj
{
public:
    tlObj();
    virtual ~tlObj();

    // Zoom of the timeline's row scale. Without a component and a timeline to ask there is no
    // row scale; the answer is then 1 (one row unit per pixel).
    virtual double getSceneYScale() const;

    // The component this object belongs to; null means "the current component".
    tlCmp* myCmp = nullptr;
};
