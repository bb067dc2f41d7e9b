#pragma once

#include "ctHnd.h"

class QPointF;
class ctHandfulQt;

// The hand of this program: keeps the Qt side of the current handful beside it, and measures a
// drag by the toolkit's start distance.
class ctHndQt : public ctHnd
{
public:
    ctHndQt() = default;
    ~ctHndQt() override;

    void setHandful(ctHandful* handful) override;
    void clearHandful() override;
    // A remembered press and a Manhattan distance of at least the start distance to (x, y).
    bool moveWasDragTest(void* item, double& x, double& y) const override;
    // The current handful's Qt side; null without a handful or for one without a Qt side.
    virtual ctHandfulQt* getHandfulQt() const { return myHandfulQt; }
    virtual void registerMousePressQt(void* item, QPointF const& at);
    virtual bool moveWasDragTestQt(void* item, QPointF const& at) const;

    ctHandfulQt* myHandfulQt = nullptr;
};
