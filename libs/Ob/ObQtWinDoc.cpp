#include "ObQtWinDoc.h"

#include "ObQtApp.h"
#include "ObQtMbar.h"

#include <QEvent>

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
    ObQtWinDoc* before = dynamic_cast<ObQtWinDoc*>(bar->parentWidget());
    bar->setParent(this);
    bar->show();
    placeMenuBar();
    if (before)
        before->placeMenuBar();
}

bool ObQtWinDoc::holdsMenuBar() const
{
    return ObQtApp::ourMenuBar && ObQtApp::ourMenuBar->parentWidget() == this;
}

bool ObQtWinDoc::event(QEvent* event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
        placeMenuBar();
    return ObQtWin::event(event);
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
    bar->raise();
    setContentsMargins(0, h, 0, 0);
}
