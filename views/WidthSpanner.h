#pragma once

#include <QWidget>

class QResizeEvent;

// One column of the timeline pane's splitter: it lays nothing out itself but keeps every child
// widget as wide as the column, so that the panes follow a splitter move at once (their heights
// and places are the pane's).
class WidthSpanner : public QWidget
{
    Q_OBJECT
public:
    WidthSpanner();
    ~WidthSpanner() override;

    // Makes every child widget of parent as wide as parent (repainting those that change).
    static void fitChildrenToWidth(QWidget& parent);

protected:
    void resizeEvent(QResizeEvent* event) override;
};
