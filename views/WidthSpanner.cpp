#include "WidthSpanner.h"

#include <QResizeEvent>

WidthSpanner::WidthSpanner() : QWidget(nullptr)
{
}

WidthSpanner::~WidthSpanner() = default;

void WidthSpanner::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitChildrenToWidth(*this);
}

void WidthSpanner::fitChildrenToWidth(QWidget& parent)
{
    int const w = parent.width();
    for (QObject* child : parent.children()) {
        if (!child->isWidgetType())
            continue;
        auto* widget = static_cast<QWidget*>(child);
        if (widget->width() != w) {
            widget->resize(w, widget->height());
            widget->update();
        }
    }
}
