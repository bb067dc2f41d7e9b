#pragma once

#include "ObClassTypeOf.h"
#include "TimelineTestDoc.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mTimeline.h"
#include "tlUi.h"
#include "uiColor.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <gtest/gtest.h>

#include <array>
#include <list>
#include <map>
#include <string>

// A document with one layer holding one event, whose editors the registry opens; the dirt raised
// while setting up is cleared.
struct EditorDoc : testing::Test
{
    TimelineTestDoc doc;
    mTimeline& timeline = *doc.cmp.getCmpTimeline();
    tlUi& ui = *doc.cmp.getUi();
    Obh l = timeline.newLayer();
    Obh e = tlObj::ourType_mEvent->make();

    EditorDoc()
    {
        timeline.addEvent(e, 1000.0, 0.0, l, true);
        doc.dirt.clearAllDirt();
    }
    // An editor still open goes now: a window deleted after the last test leaks what it holds.
    ~EditorDoc() override
    {
        ui.clearEditor();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static mEvent& ev(Obh h) { return *tlObj::ourType_mEvent->ptr(h); }
    static mLayer& layer(Obh h) { return *tlObj::ourType_mLayer->ptr(h); }
    bool raised(uint32_t id) const { return doc.dirt.isDirty(id); }
    // Every attribute of an object as text, by name.
    static std::map<std::string, std::string> attrs(ObObj const& obj)
    {
        std::list<rtl::str> names;
        obj.getAttrNames(names);
        std::map<std::string, std::string> out;
        for (rtl::str const& name : names) {
            rtl::str value;
            obj.getAttrAsString(name, value);
            out[name.c()] = value.c();
        }
        return out;
    }
    // Where the editor's one label with this text lies; an empty rectangle when there is not
    // exactly one.
    static QRect labelAt(QWidget const& editor, char const* text)
    {
        QRect at;
        int found = 0;
        for (QLabel const* label : editor.findChildren<QLabel*>())
            if (label->text() == QString::fromUtf8(text) && ++found == 1)
                at = label->geometry();
        return found == 1 ? at : QRect();
    }
    // The four components as the picker gives them.
    static std::array<int, 4> picked(uiColor& picker)
    {
        std::array<int, 4> c {};
        picker.getColor(c[0], c[1], c[2], c[3]);
        return c;
    }
};
