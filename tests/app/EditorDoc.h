#pragma once

#include "ObClassTypeOf.h"
#include "TimelineTestDoc.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mTimeline.h"
#include "tlUi.h"
#include "uiColor.h"
#include "uiStamp.h"
#include "wEditObj.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <array>
#include <list>
#include <map>
#include <span>
#include <string>
#include <utility>

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
    // Where the fields both editors have lie, by name, the heading among them.
    static std::map<std::string, QRect> sharedFields(wEditObj const& editor, char const* heading)
    {
        return {
            {"heading", labelAt(editor, heading)},
            {"title", editor.getTitleEdit()->geometry()},
            {"start", editor.getStartStamp()->geometry()},
            {"end", editor.getEndStamp()->geometry()},
            {"keywords", editor.getKeywordsEdit()->geometry()},
            {"picker", editor.getColorPicker()->geometry()},
            {"notes", editor.getNotesEdit()->geometry()},
        };
    }
    // Each place where it must be: a field of `widgets` by its name, else the editor's one label
    // with that text.
    static void expectPlaces(QWidget const& editor,
                             std::span<std::pair<char const*, QRect> const> places,
                             std::map<std::string, QRect> const& widgets)
    {
        for (auto const& [what, at] : places) {
            auto const widget = widgets.find(what);
            EXPECT_EQ(widget == widgets.end() ? labelAt(editor, what) : widget->second, at) << what;
        }
    }
    // The four components as the picker gives them.
    static std::array<int, 4> picked(uiColor& picker)
    {
        std::array<int, 4> c {};
        picker.getColor(c[0], c[1], c[2], c[3]);
        return c;
    }
};
