#pragma once

#include "tlObj.h"

#include <map>
#include <utility>

class ctHandful;

// The hand: the one global object (tlObj::ourHand) through which scene items learn that a press
// has turned into a drag, and through which every drop target finds what is being dragged. It
// remembers the last press on a scene item (only the latest: registering forgets the others) and
// holds the current handful, which it does not own: whoever starts a drag makes and deletes it.
class ctHnd : public tlObj
{
public:
    ctHnd() = default;
    ~ctHnd() override;
    ctHnd(ctHnd const&) = delete;
    ctHnd& operator=(ctHnd const&) = delete;

    // Raises DirtNewHandful, or DirtClearHandful for none.
    virtual void setHandful(ctHandful* handful);
    virtual ctHandful* getHandful() const { return myHandful; }
    // Forgets the handful (without deleting it) and raises DirtClearHandful.
    virtual void clearHandful();
    // Forgets every press, then remembers this one for the item.
    virtual void registerMousePress(void* item, double x, double y) const;
    // True with the press when one is remembered for the item; outputs untouched otherwise.
    virtual bool getMousePressed(void* item, double& x, double& y) const;
    // Forgets every remembered press, whatever the item.
    virtual void clearMousePresses(void* item) const;
    // Whether a move to (x, y) from the item's remembered press is a drag.
    virtual bool moveWasDragTest(void* item, double& x, double& y) const = 0;

    ctHandful* myHandful = nullptr;
    mutable std::map<void*, std::pair<double, double>> myPresses;
};
