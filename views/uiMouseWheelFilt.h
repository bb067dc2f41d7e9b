#pragma once

#include <QObject>

// Keeps a widget from handling wheel turns itself: a wheel event is taken from it but left
// unaccepted, so Qt hands it on to the widget's parents (the graphics view would scroll its
// scene; the timeline pane zooms or pans the scales instead). Other events pass.
class uiMouseWheelFilt : public QObject
{
    Q_OBJECT
public:
    explicit uiMouseWheelFilt(QObject* parent);
    ~uiMouseWheelFilt() override;

    bool eventFilter(QObject* watched, QEvent* event) override;
};
