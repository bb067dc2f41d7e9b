#include "aWidget.h"

#include "aTrace.h"

#include <string>

aWidget::aWidget(QWidget* parent) : QWidget(parent)
{
}

aWidget::~aWidget() = default;

void aWidget::dumpGeom(int depth)
{
    dumpWidgetGeom(this, depth);
}

void aWidget::dumpGeomSelf(int depth)
{
    writeGeomLine(this, depth);
}

void aWidget::dumpWidgetGeom(QWidget* widget, int depth)
{
    if (aWidget* own = qobject_cast<aWidget*>(widget))
        own->dumpGeomSelf(depth);
    else
        writeGeomLine(widget, depth);
    for (QObject* child : widget->children())
        if (child->isWidgetType())
            dumpWidgetGeom(static_cast<QWidget*>(child), depth + 1);
}

void aWidget::writeGeomLine(QWidget* widget, int depth)
{
    std::string const indent(size_t(depth > 0 ? depth : 0) * 4, ' ');
    QRect const r = widget->geometry();
    A_TRACE("%s%s %i x %i from ( %i, %i ) to ( %i, %i ) shown=%s, vis=%s\n", indent.c_str(),
            widget->metaObject()->className(), r.width(), r.height(), r.x(), r.y(),
            r.x() + r.width(), r.y() + r.height(), widget->isHidden() ? "no" : "YES",
            widget->isVisible() ? "YES" : "no");
}
