#include "wEditLayer.h"

wEditLayer::wEditLayer(Obh layer, int x, int y, int w, int h, bool)
    : wEdit(ContentW, ContentH, x, y, w, h), myHdl(layer)
{
}

wEditLayer::~wEditLayer() = default;

void wEditLayer::setTitle(char const* title)
{
    setWindowTitle(QString::fromUtf8(title ? title : ""));
}
