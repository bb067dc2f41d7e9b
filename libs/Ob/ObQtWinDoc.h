#pragma once

#include "ObQtWin.h"

// A top-level window bound to one document for its whole life.
//
// The application's menu bar has no window of its own on platforms without a global menu bar,
// and a bar that is not on screen fires no shortcuts. So the document window takes the bar in
// (across its top, above its other children; contentsRect() is what lies below it) and gives it
// back when it goes, so that the application's bar outlives every window.
class ObQtWinDoc : public ObQtWin
{
    Q_OBJECT
public:
    explicit ObQtWinDoc(ObDoc* doc);
    ~ObQtWinDoc() override;

    ObDoc* getDoc() const override;

    // Takes the application's menu bar from wherever it is (another window, or nowhere).
    void adoptMenuBar();
    bool holdsMenuBar() const;

    ObDoc* const myDoc;

protected:
    // The bar is placed here rather than in resizeEvent, which the concrete windows override.
    bool event(QEvent* event) override;

private:
    void placeMenuBar();
};
