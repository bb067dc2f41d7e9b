#pragma once

#include <QWidget>

// A widget that can write its geometry, and that of every widget below it, to the debug log: one
// line per widget, indented four spaces per level, in the toolkit's child order.
class aWidget : public QWidget
{
    Q_OBJECT

public:
    explicit aWidget(QWidget* parent);
    ~aWidget() override;

    virtual void dumpGeom(int depth);
    // This widget's own line, at the indentation of depth.
    virtual void dumpGeomSelf(int depth);

    // The dump of any widget: its line (its own dumpGeomSelf when it is an aWidget), then its
    // child widgets one level deeper.
    static void dumpWidgetGeom(QWidget* widget, int depth);
    // "pTicks 600 x 20 from ( 0, 30 ) to ( 600, 50 ) shown=YES, vis=YES", after the indentation;
    // positions are relative to the parent.
    static void writeGeomLine(QWidget* widget, int depth);
};
