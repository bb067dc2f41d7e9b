#include "wEditEvent.h"

wEditEvent::wEditEvent(Obh ev, int x, int y, int w, int h, bool)
    : wEdit(ContentW, ContentH, x, y, w, h), myHdl(ev)
{
}

wEditEvent::~wEditEvent() = default;

void wEditEvent::setTitle(char const* title)
{
    setWindowTitle(QString::fromUtf8(title ? title : ""));
}
