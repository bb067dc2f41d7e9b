#include "ObQtWinDoc.h"

#include "ObQtApp.h"
#include "ObQtMbar.h"

ObQtWinDoc::ObQtWinDoc(ObDoc* doc) : ObQtWin(nullptr), myDoc(doc)
{
    adoptMenuBar();
}

ObQtWinDoc::~ObQtWinDoc()
{
    if (holdsMenuBar())
        ObQtApp::ourMenuBar->setParent(nullptr);
}

ObDoc* ObQtWinDoc::getDoc() const
{
    return myDoc;
}

void ObQtWinDoc::adoptMenuBar()
{
    ObQtMbar* bar = ObQtApp::ourMenuBar;
    if (!bar || holdsMenuBar())
        return;
    bar->setParent(this);
    bar->show();
    placeMenuBar();
}

bool ObQtWinDoc::holdsMenuBar() const
{
    return ObQtApp::ourMenuBar && ObQtApp::ourMenuBar->parentWidget() == this;
}

void ObQtWinDoc::resizeEvent(QResizeEvent* event)
{
    placeMenuBar();
    ObQtWin::resizeEvent(event);
}

void ObQtWinDoc::placeMenuBar()
{
    if (!holdsMenuBar()) {
        setContentsMargins(0, 0, 0, 0);
        return;
    }
    ObQtMbar* bar = ObQtApp::ourMenuBar;
    int h = bar->heightForWidth(width());
    if (h <= 0)
        h = bar->sizeHint().height();
    bar->setGeometry(0, 0, width(), h);
    setContentsMargins(0, h, 0, 0);
}
