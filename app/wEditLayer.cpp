#include "wEditLayer.h"

#include "aTs.h"
#include "mLayer.h"

#include <QLineEdit>
#include <QTextEdit>

wEditLayer::wEditLayer(Obh layer, int x, int y, int w, int h, bool noFocus)
    : wEditObj(layer, x, y, w, h, noFocus)
{
    layoutEditor();
    setHdl(layer);
}

wEditLayer::~wEditLayer() = default;

mLayer* wEditLayer::editedLayer() const
{
    return dynamic_cast<mLayer*>(object());
}

void wEditLayer::setHdl(Obh layer)
{
    myHdl = layer;
    myObj = layer.obj();
    mLayer* l = editedLayer();
    if (!l)
        return;
    double minTime = 0, maxTime = 0, minRow = 0, maxRow = 0;
    l->getSpans(minTime, maxTime, minRow, maxRow, false);
    aTs start(minTime);
    aTs end(maxTime);
    loadShared(l->getTitle(), l->getKeywords(), l->getNotes(), start, end);
}

void wEditLayer::layoutEditor()
{
    layoutShared(110, 134);
}

bool wEditLayer::readColor(int type, Rgba& c) const
{
    mLayer const* l = editedLayer();
    if (l)
        readRecordColor<mLayerData>(*l, type, c);
    return l;
}

bool wEditLayer::writeColor(int type, Rgba const& c)
{
    mLayer* l = editedLayer();
    return l && writeRecordColor<mLayerData>(*l, type, c);
}

uint32_t wEditLayer::colorDirt() const
{
    return DirtLayerColorChanged;
}

void wEditLayer::saveToModel()
{
    mLayer* l = editedLayer();
    if (!l)
        return;
    using R = mLayerData;
    bool changed = storeText<R>(*l, &R::getTitle, &R::setTitle, myTitleEdit->text());
    changed |= storeText<R>(*l, &R::getKeywords, &R::setKeywords, myKeywordsEdit->text());
    changed |= storeText<R>(*l, &R::getNotes, &R::setNotes, myNotesEdit->toPlainText());
    if (changed)
        edited(0);
}
