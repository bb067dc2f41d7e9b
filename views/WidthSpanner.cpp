#include "WidthSpanner.h"

#include <QResizeEvent>

WidthSpanner::WidthSpanner() : QWidget(nullptr)
{
}

WidthSpanner::~WidthSpanner() = default;

void WidthSpanner::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    int const w = width();
    for (QObject* child : children()) {
        if (!child->isWidgetType())
            continue;
        auto* widget = static_cast<QWidget*>(child);
        if (widget->width() != w) {
            widget->resize(w, widget->height());
            widget->update();
        }
    }
}
