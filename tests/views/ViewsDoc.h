#pragma once

#include "ObDirty.h"
#include "TimelineTestDoc.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

// A document whose time axis is `pixels` wide and shows one second per pixel from `start`, for the
// panes and the scene items. Dirt raised while setting up is cleared.
struct ViewsDoc : testing::Test
{
    TimelineTestDoc doc;
    mTimeline& timeline = *doc.cmp.getCmpTimeline();
    mScale& scale = *timeline.timeScale();
    mSkin& skin = *doc.cmp.getCmpSkin();

    void show(double start, int pixels = 1000)
    {
        scale.setParentPos(0);
        scale.setParentSize(pixels);
        scale.reconfig();
        scale.setVisStart(start);
        scale.setVisEnd(start + pixels);
        scale.setNeedsReconfig(false);
        doc.dirt.clearAllDirt();
    }
    bool raised(uint32_t id) const { return doc.dirt.isDirty(id); }
};

// A press, move or release of a mouse button at a point of a widget, with modifiers, as Qt
// delivers it.
inline void mouseAt(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    Qt::MouseButtons const held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QPointF const p(at);
    QMouseEvent event(type, p, w.mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : button,
                      held, mods);
    QApplication::sendEvent(&w, &event);
}

// What a call wrote to the debug log, without the colour escapes ("\x1B[...m").
template <class F> std::string loggedBy(F&& call)
{
    testing::internal::CaptureStdout();
    call();
    std::string const out = testing::internal::GetCapturedStdout();
    std::string plain;
    for (size_t k = 0; k < out.size(); ++k) {
        if (out[k] == '\x1B')
            k = std::min(out.find('m', k), out.size());
        else
            plain += out[k];
    }
    return plain;
}
