#include "ObQtPanel.h"

#include "ObApp.h"
#include "ObDirty.h"
#include "ObTrace.h"
#include "aAssert.h"
#include "aRefresher.h"

ObQtPanel::ObQtPanel(QWidget* parent) : QWidget(parent), myDirtOnShow(nullptr)
{
}

ObQtPanel::~ObQtPanel()
{
    delete myDirtOnShow;
}

void ObQtPanel::setDirtyOnNextShow(unsigned int id)
{
    ObDirty* dirt = ObApp::ourApp ? ObApp::ourApp->getAppDirtyEngine() : nullptr;
    A_ASSERT(dirt);
    if (!myDirtOnShow)
        myDirtOnShow = new std::list<unsigned int>;
    myDirtOnShow->push_back(id);
}

void ObQtPanel::doLayout()
{
}

void ObQtPanel::resizeEvent(QResizeEvent*)
{
    doLayout();
}

void ObQtPanel::showEvent(QShowEvent*)
{
    if (!myDirtOnShow)
        return;
    ObDirty* dirt = ObApp::ourApp ? ObApp::ourApp->getAppDirtyEngine() : nullptr;
    if (!dirt) {
        // The document's engines are gone (or not yet there): keep the ids for the next show.
        OB_TRACE("No dirt engine: %zu queued dirt ids kept for the next show\n",
                 myDirtOnShow->size());
        return;
    }
    for (unsigned int id : *myDirtOnShow)
        dirt->setDirty(id, true);
    delete myDirtOnShow;
    myDirtOnShow = nullptr;
    if (aRefresher* refresher = ObApp::ourApp->getAppRefreshEngine())
        refresher->setNeedsRefresh(nullptr);
}
