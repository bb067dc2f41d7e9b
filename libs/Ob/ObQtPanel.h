#pragma once

#include "ObQt.h"

#include <QWidget>
#include <list>

class QResizeEvent;
class QShowEvent;

// A widget that lays itself out again on every resize, and that can queue dirt ids to be raised
// on the application's dirt engine when it next comes on screen (so that a window built before
// it shows gets its views refreshed once it is really there).
class ObQtPanel : public QWidget, public ObQt
{
    Q_OBJECT
public:
    explicit ObQtPanel(QWidget* parent);
    ~ObQtPanel() override;

    virtual void setDirtyOnNextShow(unsigned int dirt);
    virtual void doLayout();

    // The ids queued for the next show, in the order queued; null when none are queued.
    std::list<unsigned int>* myDirtOnShow;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
