#pragma once

#include <QObject>

// An event filter that keeps the last mouse position it sees, in the coordinates of the widget
// or scene item under the pointer, and passes every event on. Nothing installs one yet, so the
// position stays at -1, -1.
class uiMouseTrackingFilter : public QObject
{
    Q_OBJECT

public:
    explicit uiMouseTrackingFilter(QObject* parent);
    ~uiMouseTrackingFilter() override;

    // Always false: the event goes on to its target.
    bool eventFilter(QObject* watched, QEvent* event) override;

    static int ourMouseX;
    static int ourMouseY;
};
