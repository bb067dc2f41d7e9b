#pragma once

#include "ctHnd.h"

#include <Qt>
#include <memory>

class QDrag;
class QPointF;
class ctHandfulQt;
class uiGi;

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

    // Runs a drag of the handful from start to end: it becomes the hand's handful, the presses
    // are forgotten, its drag object takes the dragged things out and runs offering a Move only
    // (so that no key held during the drag turns it into a copy). Whatever the drag ended in (a
    // drop of ours, a drop in another program, a cancel), what no drop of ours placed goes back
    // where it was; then the hand lets go and the handful is deleted. The answer is the drag's.
    // A handful without a Qt side starts no drag.
    Qt::DropAction runDrag(std::unique_ptr<ctHandful> handful);
    // A scene item going away (a refresh may delete one during a drag, the grabbed one
    // included): its press is forgotten, and the handful of a drag running from it forgets it.
    void itemGoing(uiGi* item);

    // How a drag object runs: QDrag::exec, which returns when the drag has ended, by default.
    // Tests put in one that plays what happens during a drag and ends it as a user would.
    using DragExec = Qt::DropAction (*)(QDrag& drag, Qt::DropActions offered);
    static DragExec ourDragExec;
    static Qt::DropAction execDrag(QDrag& drag, Qt::DropActions offered);

    ctHandfulQt* myHandfulQt = nullptr;
    // The Qt side of the drag runDrag runs, from its start to its end: a drop lets go of the
    // handful before the drag ends.
    ctHandfulQt* myRunning = nullptr;
};
