#include "wEditEvent.h"
#include "EditorDoc.h"
#include "PrintQt.h"
#include "aTs.h"
#include "uiStamp.h"
#include "wEditLayer.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTextEdit>
#include <gmock/gmock.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>

using testing::StartsWith;

namespace {

struct EventEditor : EditorDoc
{
    wEditEvent* open()
    {
        ui.showEditEvent(e, 100, 300, 50, 20, "Edit Event");
        return ui.getEditor();
    }
    // Colours no rounding keeps by accident, in all three places.
    static void paint(mEvent& event)
    {
        for (auto [name, value] : {std::pair {"bgColorR", "1"},
                                   {"bgColorG", "2"},
                                   {"bgColorB", "254"},
                                   {"bgColorA", "3"},
                                   {"lineColorR", "255"},
                                   {"lineColorG", "77"},
                                   {"lineColorB", "0"},
                                   {"lineColorA", "128"},
                                   {"textColorA", "0"}})
            event.setAttrByString(name, value, "int");
    }
};

} // namespace

TEST_F(EventEditor, OpeningAndClosingWritesNothing)
{
    mEvent& event = ev(e);
    paint(event);
    event.setColorStyle(EventColorByLayer);
    event.setTitle("Zürich – 東京");
    doc.dirt.clearAllDirt();
    auto const before = attrs(event);

    wEditEvent* editor = open();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->getTitleEdit()->text(), QString::fromUtf8("Zürich – 東京"));
    EXPECT_EQ(editor->getColorStyleBox()->currentText(), "By Layer");
    EXPECT_EQ(picked(*editor->getColorPicker()), (std::array<int, 4> {1, 2, 254, 3}));
    EXPECT_EQ(editor->getStartStamp()->getTs(), aTs(1000.0));
    editor->setColorType(wEditObj::ColorTypeLine);
    EXPECT_EQ(picked(*editor->getColorPicker()), (std::array<int, 4> {255, 77, 0, 128}));
    EXPECT_EQ(editor->getColorLabel(wEditObj::ColorTypeLine)->styleSheet(),
              "QLabel#line { color: #FFF; }");
    EXPECT_EQ(editor->getColorLabel(wEditObj::ColorTypeFill)->styleSheet(),
              "QLabel#fill { color: #888; }");
    editor->setColorType(wEditObj::ColorTypeText);
    ui.clearEditor();
    EXPECT_EQ(attrs(event), before);
    EXPECT_FALSE(raised(tlObj::DirtUserEditedAttrs));
    EXPECT_FALSE(raised(tlObj::DirtEventColorChanged));
}

TEST_F(EventEditor, TextsReachTheEventWhenSavedWithoutWhatADocumentCannotHold)
{
    wEditEvent* editor = open();
    editor->getTitleEdit()->setText(QString::fromUtf8("Launch\x01 día"));
    editor->getAmountEdit()->setText("12.5");
    editor->getUnitsEdit()->setText("kg");
    editor->getKeywordsEdit()->setText("a, b");
    editor->getNotesEdit()->setPlainText(QString("line one\n\tline two\x1b") + QChar(0xfffe));
    EXPECT_STREQ(ev(e).getTitle().c(), "") << "texts wait for the save";

    ui.clearEditor();
    mEvent& event = ev(e);
    EXPECT_STREQ(event.getTitle().c(), "Launch día");
    EXPECT_STREQ(event.getAmount().c(), "12.5");
    EXPECT_STREQ(event.getUnits().c(), "kg");
    EXPECT_STREQ(event.getKeywords().c(), "a, b");
    EXPECT_STREQ(event.getNotes().c(), "line one\n\tline two");
    EXPECT_TRUE(raised(tlObj::DirtUserEditedAttrs)) << "the document is modified";
    EXPECT_FALSE(raised(tlObj::DirtEventColorChanged));
}

TEST_F(EventEditor, APickedColourIsWrittenAtOnceAndMakesTheStyleCustom)
{
    ev(e).setColorStyle(EventColorByLayer);
    wEditEvent* editor = open();
    editor->setColorType(wEditObj::ColorTypeText);
    editor->getColorPicker()->setColor(10, 20, 30, 40);
    mEvent& event = ev(e);
    EXPECT_EQ(event.getColorStyle(), EventColorIndividual);
    EXPECT_EQ(editor->getColorStyleBox()->currentText(), "Custom");
    EXPECT_EQ((std::array<int, 4> {event.getTextColorR(), event.getTextColorG(),
                                   event.getTextColorB(), event.getTextColorA()}),
              (std::array<int, 4> {10, 20, 30, 40}));
    EXPECT_EQ(event.getBgColorR(), 128) << "only the edited colour";
    EXPECT_TRUE(raised(tlObj::DirtEventColorChanged));
    EXPECT_TRUE(raised(tlObj::DirtUserEditedAttrs));

    doc.dirt.clearAllDirt();
    editor->getColorPicker()->setColor(10, 20, 30, 40);
    EXPECT_FALSE(raised(tlObj::DirtUserEditedAttrs)) << "the same colour changes nothing";

    editor->getColorStyleBox()->setCurrentIndex(1);
    EXPECT_EQ(event.getColorStyle(), EventColorByLayer);
    EXPECT_TRUE(raised(tlObj::DirtEventColorChanged));
    EXPECT_TRUE(raised(tlObj::DirtUserEditedAttrs));
}

TEST_F(EventEditor, SpaceOnTheEditorClosesAndSavesInAFieldItTypes)
{
    wEditEvent* editor = open();
    QPointer<wEditEvent> alive = editor;
    editor->getTitleEdit()->setFocus();
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(editor->getTitleEdit(), &typed);
    EXPECT_EQ(editor->getTitleEdit()->text(), " ");
    EXPECT_EQ(ui.getEditor(), editor);

    editor->setFocus();
    // The window is made active by the event loop.
    for (int k = 0; k < 1000 && !editor->hasFocus(); ++k)
        QApplication::processEvents();
    ASSERT_TRUE(editor->hasFocus());
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(editor, &space);
    EXPECT_EQ(ui.getEditor(), nullptr);
    EXPECT_STREQ(ev(e).getTitle().c(), " ");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(EventEditor, EscapeAndReturnInALineCloseKeepingWhatWasTyped)
{
    // The key, whether it goes to the notes, and whether it closes the editor.
    std::tuple<Qt::Key, bool, bool> const cases[] = {
        {Qt::Key_Escape, false, true}, {Qt::Key_Return, false, true}, {Qt::Key_Enter, false, true},
        {Qt::Key_Escape, true, true},  {Qt::Key_Return, true, false}, // a new line
    };
    for (auto const& [key, inNotes, closes] : cases) {
        SCOPED_TRACE(testing::Message() << key << (inNotes ? " in the notes" : ""));
        ev(e).setTitle("");
        ev(e).setNotes("");
        wEditEvent* editor = open();
        QWidget* field =
            inNotes ? static_cast<QWidget*>(editor->getNotesEdit()) : editor->getTitleEdit();
        field->setFocus();
        QTest::keyClicks(field, "typed");
        QTest::keyClick(field, key);
        EXPECT_EQ(ui.getEditor() == nullptr, closes);
        ui.clearEditor();
        EXPECT_THAT((inNotes ? ev(e).getNotes() : ev(e).getTitle()).cs(), StartsWith("typed"));
    }
}

TEST_F(EventEditor, LeavingClosesOnlyAfterEntering)
{
    wEditEvent* editor = open();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(editor, &leave);
    EXPECT_EQ(ui.getEditor(), editor) << "the pointer had never been inside";
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(editor, &enter);
    QApplication::sendEvent(editor, &leave);
    EXPECT_EQ(ui.getEditor(), nullptr);
}

TEST_F(EventEditor, ClosesUnsavedWhenItsEventGoesAndTheNextEventInTheSlotGetsNothing)
{
    wEditEvent* editor = open();
    QPointer<wEditEvent> alive = editor;
    editor->getTitleEdit()->setText("typed");
    Obh const gone = e;
    timeline.deleteEvent(e);
    EXPECT_EQ(ui.getEditor(), nullptr);
    EXPECT_EQ(tlUi::ourEditor, nullptr);

    Obh next = tlObj::ourType_mEvent->make();
    ASSERT_EQ(next.getAddr(), gone.getAddr()) << "the slot is taken again";
    ASSERT_FALSE(alive.isNull());
    editor->saveToModel();
    editor->getColorPicker()->setColor(1, 2, 3, 4);
    EXPECT_STREQ(ev(next).getTitle().c(), "");
    EXPECT_EQ(ev(next).getBgColorR(), 128);
    EXPECT_FALSE(raised(tlObj::DirtUserEditedAttrs));
}

// Beside a selection with room on its right the point is on the left edge, so the body (the
// content rectangle) starts 15 in: fields 190 wide from x 90, labels 57 wide from x 25.
TEST_F(EventEditor, EveryFieldAndLabelHasItsPlaceBesideALeftPoint)
{
    wEditEvent* editor = open();
    ASSERT_EQ(editor->getInset(), QRect(15, 0, 275, 400)) << "a left point";
    std::pair<char const*, QRect> const fields[] = {
        {"heading", {90, 14, 190, 20}},   {"title", {90, 38, 190, 20}},
        {"start", {90, 62, 190, 20}},     {"end", {90, 86, 190, 20}},
        {"amount", {90, 110, 95, 20}},    {"units", {229, 110, 51, 20}},
        {"keywords", {90, 134, 190, 20}}, {"colour style", {90, 158, 190, 24}},
        {"picker", {90, 182, 190, 70}},   {"notes", {25, 256, 255, 134}},
        {"Title", {25, 43, 57, 20}},      {"Start", {25, 67, 57, 20}},
        {"End", {25, 91, 57, 20}},        {"Amount", {25, 115, 57, 20}},
        {"Units", {187, 115, 36, 20}},    {"Keywords", {25, 139, 57, 20}},
        {"Color", {25, 163, 57, 20}},     {"Fill", {25, 191, 57, 20}},
        {"Line", {25, 213, 57, 20}},      {"Text", {25, 235, 57, 20}},
    };
    std::map<std::string, QRect> widgets = sharedFields(*editor, "Edit Event");
    widgets["amount"] = editor->getAmountEdit()->geometry();
    widgets["units"] = editor->getUnitsEdit()->geometry();
    widgets["colour style"] = editor->getColorStyleBox()->geometry();
    expectPlaces(*editor, fields, widgets);
}

// In both editors a press on "Fill", "Line" or "Text" chooses which colour the picker edits and
// lights that label alone; a press on another label chooses nothing; the object is not changed.
TEST_F(EventEditor, APressOnAColourLabelChoosesTheColourInBothEditors)
{
    paint(ev(e));
    doc.dirt.clearAllDirt();
    // In turn: the label pressed and the colour type then edited.
    std::pair<char const*, int> const presses[] = {
        {"Text", wEditObj::ColorTypeText},
        {"Line", wEditObj::ColorTypeLine},
        {"Title", wEditObj::ColorTypeLine},
        {"Fill", wEditObj::ColorTypeFill},
    };
    char const* const lit[] = {"", "QLabel#fill { color: #FFF; }", "QLabel#line { color: #FFF; }",
                               "QLabel#text { color: #FFF; }"};
    for (bool const layerEditor : {false, true}) {
        SCOPED_TRACE(layerEditor ? "layer editor" : "event editor");
        ObObj& edited = layerEditor ? static_cast<ObObj&>(layer(l)) : ev(e);
        auto const before = attrs(edited);
        wEditObj* editor = nullptr;
        if (layerEditor) {
            ui.showEditLayer(l, 100, 300, 50, 20, "Edit Layer");
            editor = ui.getLayerEditor();
        } else {
            editor = open();
        }
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->getColorType(), wEditObj::ColorTypeFill) << "as opened";
        for (auto const& [label, type] : presses) {
            QLabel* target = nullptr;
            for (QLabel* child : editor->findChildren<QLabel*>())
                if (child->text() == label)
                    target = child;
            ASSERT_NE(target, nullptr) << label;
            // Sent, not through the window system, which would leave its pointer over the next
            // editor opened there. The label leaves the press to the editor.
            QPointF const at = target->rect().center();
            QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &press);
            EXPECT_EQ(editor->getColorType(), type) << label;
            EXPECT_EQ(editor->getColorLabel(type)->styleSheet(), lit[type]) << label;
        }
        ui.clearEditor();
        EXPECT_EQ(attrs(edited), before);
        EXPECT_FALSE(raised(tlObj::DirtUserEditedAttrs));
    }
}

// After the pointer entered an editor, its leaving closes and saves the editor, unless the
// event editor's colour-style list has the keyboard, since its drop-down takes the pointer out.
TEST_F(EventEditor, LeavingAfterEnteringClosesAndSavesUnlessTheColourStyleListHasTheKeyboard)
{
    enum Field
    {
        Title,
        StyleList
    };
    struct Case
    {
        char const* what;
        bool layerEditor;
        Field focused;
        bool closes;
    };
    Case const cases[] = {
        {"event editor, typing the title", false, Title, true},
        {"event editor, the list has the keyboard", false, StyleList, false},
        {"layer editor, typing the title", true, Title, true},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        ev(e).setTitle("");
        layer(l).setTitle("");
        wEditObj* editor = nullptr;
        if (c.layerEditor) {
            ui.showEditLayer(l, 100, 300, 50, 20, "Edit Layer");
            editor = ui.getLayerEditor();
        } else {
            editor = open();
        }
        ASSERT_NE(editor, nullptr);
        editor->getTitleEdit()->setText("typed");
        QWidget* field = c.focused == StyleList
                             ? static_cast<QWidget*>(ui.getEditor()->getColorStyleBox())
                             : editor->getTitleEdit();
        field->setFocus();
        ASSERT_EQ(editor->focusWidget(), field);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(editor, &enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(editor, &leave);
        EXPECT_EQ(tlUi::ourEditor == nullptr, c.closes);
        if (c.closes) {
            EXPECT_STREQ((c.layerEditor ? layer(l).getTitle() : ev(e).getTitle()).cs(), "typed")
                << "saved";
        }
        ui.clearEditor();
    }
}

// A colour style the list does not offer (a file written elsewhere) shows no item.
TEST_F(EventEditor, AStyleTheListDoesNotOfferShowsNoItemAndClosingKeepsIt)
{
    ev(e).setAttrByString("colorStyle", "2", "int");
    doc.dirt.clearAllDirt();
    wEditEvent* editor = open();
    EXPECT_EQ(editor->getColorStyleBox()->currentIndex(), -1);
    ui.clearEditor();
    // Not made 0 on closing: the editor writes only what the user changed.
    EXPECT_EQ(ev(e).getColorStyle(), 2);
    EXPECT_FALSE(raised(tlObj::DirtUserEditedAttrs));
}
