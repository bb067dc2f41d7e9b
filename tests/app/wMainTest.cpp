#include "wMain.h"

#include "AppTest.h"
#include "ObQtMbar.h"
#include "ObQtMenu.h"
#include "ObQtMitem.h"
#include "ObSelection.h"
#include "PrintQt.h"
#include "ScopedTraces.h"
#include "XmlWriter.h"
#include "aGraphic.h"
#include "cmdTimelineNewLayer.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mTimeline.h"
#include "pGv.h"
#include "pHeader.h"
#include "pTimeline.h"
#include "pTopLeft.h"
#include "tlCmp.h"
#include "tlUi.h"
#include "uiGi.h"
#include "uiToggle.h"
#include "wEditEvent.h"
#include "wEditLayer.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <list>
#include <map>
#include <sstream>
#include <string>

using testing::HasSubstr;

namespace {

using wMainTest = AppTest;

// What the user sees of a menu's entries: "-" for a separator, else the text, the shortcut in
// brackets, "(check)" when it takes a check mark, "(app)" when it belongs in the application
// menu, and "(never)" for an entry with nothing to run, which must show disabled.
std::vector<std::string> entries(ObQtMenu* menu)
{
    menu->prepShow();
    std::map<QAction*, ObQtMitem*> items;
    for (ObQtMitem* item : menu->myMitems)
        items[item->getQAction()] = item;
    std::vector<std::string> out;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            out.push_back("-");
            continue;
        }
        std::string s = action->text().toStdString();
        if (!action->shortcut().isEmpty())
            s += " [" + action->shortcut().toString(QKeySequence::PortableText).toStdString() + "]";
        if (action->isCheckable())
            s += " (check)";
        if (action->menuRole() == QAction::ApplicationSpecificRole)
            s += " (app)";
        ObQtMitem* item = items[action];
        if (item && !item->getCmd() && !item->getFunc())
            s += action->isEnabled() ? " (enabled!)" : " (never)";
        out.push_back(s);
    }
    return out;
}

// A new document's window with one layer, laid out (the pane lays itself out a little after the
// window got its geometry) and refreshed.
struct OneLayerWindow : AppTest
{
    OneLayerWindow()
    {
        app.newDoc();
        window = dynamic_cast<wMain*>(doc()->getWindow());
        layer = doc()->getTimeline()->newLayer();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->panel()->layoutTimer()->isActive(); }));
        pass();
    }
    void select(std::list<Obh> handles)
    {
        doc()->getSelectionEngine()->setSelection(handles);
        pass();
    }
    // Space pressed in the window; whether the window took it.
    bool space()
    {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
        QApplication::sendEvent(window, &key);
        return key.isAccepted();
    }
    tlUi& editors() const { return *doc()->getCmp()->getUi(); }
    // The open editor of either kind.
    QWidget* openEditor() const
    {
        if (wEditEvent* e = editors().getEditor())
            return e;
        return editors().getLayerEditor();
    }
    static QGraphicsItem* itemOf(Obh h)
    {
        auto* graphic = dynamic_cast<aGraphic*>(h.obj());
        return graphic ? graphic->giGet() : nullptr;
    }

    wMain* window = nullptr;
    Obh layer;
};

// Activates a window; whether it then has the keyboard.
bool activated(QWidget* window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// The first line where two texts differ, with its number; empty when they are the same.
std::string firstDifference(std::string const& a, std::string const& b)
{
    std::istringstream as(a), bs(b);
    std::string la, lb;
    for (int line = 1;; ++line) {
        bool const moreA = bool(std::getline(as, la)), moreB = bool(std::getline(bs, lb));
        if (!moreA && !moreB)
            return "";
        if (moreA != moreB || la != lb)
            return std::to_string(line) + ": " + la + " | " + lb;
    }
}

ObQtMitem* entry(char const* menuTitle, char const* text)
{
    for (QAction* m : ObQtApp::ourMenuBar->actions())
        if (auto* menu = qobject_cast<ObQtMenu*>(m->menu()); menu && m->text() == menuTitle)
            for (ObQtMitem* item : menu->myMitems)
                if (item->getQAction()->text() == text)
                    return item;
    return nullptr;
}

} // namespace

TEST_F(wMainTest, TheMenuBarHoldsFileEditEventsLayersAndView)
{
    app.newDoc();
    using V = std::vector<std::string>;
    std::vector<std::pair<std::string, V>> const expected = {
        {"File",
         {"-", "New Document", "Open...", "-", "Close [Ctrl+W]", "Save [Ctrl+S]",
          "Save As... [Ctrl+Shift+S]", "About Vantrel... (app)", "Check For Updates... (app)", "-",
          "Quit [Ctrl+Q]"}},
        {"Edit",
         {"Select All [Ctrl+A]", "-", "Copy [Ctrl+C] (never)", "Paste [Ctrl+V] (never)", "-",
          "Delete Selected [Backspace]"}},
        {"Events",
         {"New Event [E]", "-", "Color - Individually", "Color - By Layer", "-",
          "Make Instant (never)", "Make Ongoing (never)", "-", "Set Length = 1 Year (never)",
          "Set Length = 1 Month (never)", "Set Length = 1 Week (never)",
          "Set Length = 1 Day (never)", "Set Length = 1 Hour (never)",
          "Set Length = 1 Minute (never)"}},
        {"Layers",
         {"New Layer [L]", "Remove Empty Layers", "-", "New Row [R]", "Remove Empty Rows", "-",
          "Select Events (never)", "Show Controls [Alt+L] (check)", "-", "Zero Spacing",
          "Reset Spacing", "Make Smaller [Alt+-]", "Make Bigger [Alt+=]"}},
        {"View",
         {"Go To Now [Alt+N]", "Lock To Now [N] (check)", "-", "Fit Selected [F]",
          "Fit Selected - Vertical [Alt+F]", "Fit Selected - Horizontal [Shift+F]"}},
    };
    QList<QAction*> const menus = ObQtApp::ourMenuBar->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(expected.size()));
    for (qsizetype i = 0; i < menus.size(); ++i) {
        EXPECT_EQ(menus[i]->text().toStdString(), expected[i].first);
        EXPECT_EQ(entries(qobject_cast<ObQtMenu*>(menus[i]->menu())), expected[i].second)
            << expected[i].first;
    }
    EXPECT_EQ(ObQtApp::ourMenuBar->parentWidget(), doc()->getWindow()) << "in the window";
}

TEST_F(wMainTest, AShortcutRunsItsCommandAndTheMenuShowsItsCheckMark)
{
    app.newDoc();
    QWidget* window = doc()->getWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ObQtMitem* lock = entry("View", "Lock To Now");
    ASSERT_TRUE(lock);
    QTest::keyClick(window, Qt::Key_N);
    lock->prepShow(nullptr);
    EXPECT_TRUE(lock->getQAction()->isChecked());
    QTest::keyClick(window, Qt::Key_N);
    lock->prepShow(nullptr);
    EXPECT_FALSE(lock->getQAction()->isChecked());
}

TEST_F(wMainTest, TheCornerHShowsTheLayerHidingOfTheDocument)
{
    app.newDoc();
    doc()->getTimeline()->setLayerHidingEnabled(true);
    ui.savePath = dir.file("Hiding");
    ASSERT_TRUE(app.saveDoc(nullptr, false));
    fresh();
    app.openDoc(dir.file("Hiding").c_str());
    mTimeline* timeline = doc()->getTimeline();
    ASSERT_TRUE(timeline->getLayerHidingEnabled());
    uiToggle* h = dynamic_cast<wMain*>(doc()->getWindow())->panel()->myTopLeft->myHideToggle;
    EXPECT_TRUE(h->getValue()) << "as opened";
    h->activate();
    EXPECT_FALSE(timeline->getLayerHidingEnabled()) << "one click turns hiding off";
    timeline->setLayerHidingEnabled(true);
    doc()->getDirtEngine()->setDirty(tlObj::DirtLayerHidingChanged, true);
    pass();
    EXPECT_TRUE(h->getValue()) << "switched on elsewhere";
}

namespace {

// Every size a shown main window takes.
struct ShownSizes : QObject
{
    Q_OBJECT

public:
    std::vector<QSize> shown;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* w = qobject_cast<wMain*>(o);
        if (w && e->type() == QEvent::Resize && w->isVisible())
            shown.push_back(static_cast<QResizeEvent*>(e)->size());
        return false;
    }
};

} // namespace

TEST_F(wMainTest, ANewWindowIsShownOnlyAtTheSizeItIsGiven)
{
    // Every size the shown window takes is one a person may see for a moment.
    ShownSizes sizes;
    qApp->installEventFilter(&sizes);
    app.newDoc();
    qApp->removeEventFilter(&sizes);
    QWidget* window = doc()->getWindow();
    EXPECT_EQ(window->size(), QSize(800, 600));
    for (QSize const& size : sizes.shown)
        EXPECT_EQ(size, QSize(800, 600));
}

TEST_F(wMainTest, TheWindowKeepsItsMinimumHeight)
{
    app.newDoc();
    QWidget* window = doc()->getWindow();
    window->resize(400, 100);
    EXPECT_EQ(window->height(), 150);
    EXPECT_EQ(doc()->getWinH(), 150) << "stored as shown";
}

// Each way of closing a modified document asks, and the answer is carried out: Cancel keeps the
// window and the document, a failed save keeps them modified, Don't Save and a save that
// succeeded close the document; a closed document goes after its window, once (the sanitizer
// build reports a second delete or a leak).
TEST_F(wMainTest, ClosingAModifiedDocumentAsksAndDoesWhatTheAnswerSays)
{
    enum Road
    {
        CloseRequest, // the application closes it: New, Open, Close
        WindowClose,  // the window's close button
        Quit
    };
    struct Case
    {
        Road road;
        QMessageBox::StandardButton answer;
        char const* savePath; // the save dialog's answer; null: cancelled
        bool closes;
    };
    writeFile(dir.file("Taken.orstime"), "a file where the bundle would go");
    Case const cases[] = {
        {CloseRequest, QMessageBox::Cancel, nullptr, false},
        {WindowClose, QMessageBox::Cancel, nullptr, false},
        {Quit, QMessageBox::Cancel, nullptr, false},
        {CloseRequest, QMessageBox::No, nullptr, true},
        {WindowClose, QMessageBox::No, nullptr, true},
        {Quit, QMessageBox::No, nullptr, true},
        {CloseRequest, QMessageBox::Yes, nullptr, false},
        {WindowClose, QMessageBox::Yes, "Taken", false},
        {CloseRequest, QMessageBox::Yes, "First", true},
        {WindowClose, QMessageBox::Yes, "Second", true},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << "road " << c.road << ", answer " << c.answer << ", "
                                        << (c.savePath ? c.savePath : "no path"));
        fresh();
        ui.warnings.clear();
        ui.savePath = c.savePath ? dir.file(c.savePath) : std::string();
        app.newDoc();
        edit();
        QPointer<QWidget> window = doc()->getWindow();
        std::string label;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            label = box->button(QMessageBox::Yes)->text().toStdString();
            box->button(c.answer)->click();
        });
        switch (c.road) {
        case CloseRequest:
            EXPECT_EQ(app.saveAndCloseDoc(nullptr), c.closes);
            break;
        case WindowClose:
            EXPECT_EQ(window->close(), c.closes);
            break;
        case Quit:
            mApp::quitCb(false);
            break;
        }
        gone();
        EXPECT_EQ(label, "Save...") << "a document never saved asks where to go";
        EXPECT_EQ(ObApp::ourDocs.empty(), c.closes);
        EXPECT_EQ(window.isNull(), c.closes);
        if (!c.closes) {
            EXPECT_TRUE(window->isVisible());
            EXPECT_TRUE(doc()->getNeedsSave());
            EXPECT_FALSE(static_cast<wMain*>(window.data())->isClean());
        }
        if (c.savePath && c.closes) {
            EXPECT_THAT(readFile(dir.file(c.savePath) + ".orstime/doc_data.xml"),
                        HasSubstr("<doc>"));
        }
        EXPECT_EQ(ui.warnings.size(), c.savePath && !c.closes ? 1u : 0u);
    }
}

TEST_F(wMainTest, ADocumentSavedBeforeIsSavedInPlaceWhenClosing)
{
    app.newDoc();
    ui.savePath = dir.file("Plans");
    ASSERT_TRUE(app.saveDoc(nullptr, false));
    std::string const file = dir.file("Plans.orstime/doc_data.xml");
    std::filesystem::remove(file);
    edit();
    ui.asked.clear();
    std::string label;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        label = box->button(QMessageBox::Yes)->text().toStdString();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(app.saveAndCloseDoc(nullptr));
    EXPECT_EQ(label, "Save");
    EXPECT_TRUE(ui.asked.empty()) << "no dialog";
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(wMainTest, SaveAsOntoAnotherDocumentsBundleAsksBeforeReplacingIt)
{
    makeBundle(dir.file("Other"));
    std::string const other = readFile(dir.file("Other.orstime/doc_data.xml"));
    std::string const question = "Other.orstime already exists.\nDo you want to replace it?";
    app.newDoc();
    edit();
    ui.savePath = dir.file("Other");
    EXPECT_FALSE(app.saveDoc(nullptr, true));
    EXPECT_EQ(ui.asked, (std::vector<std::string> {"Save as...", question}));
    EXPECT_EQ(readFile(dir.file("Other.orstime/doc_data.xml")), other);
    EXPECT_EQ(current(), "Untitled");
    EXPECT_TRUE(doc()->getNeedsSave());

    ui.confirmAnswer = true;
    EXPECT_TRUE(app.saveDoc(nullptr, true));
    EXPECT_EQ(current(), "Other");
    ui.asked.clear();
    EXPECT_TRUE(app.saveDoc(nullptr, true)) << "its own bundle is no other document's";
    EXPECT_EQ(ui.asked, std::vector<std::string> {"Save as..."});
}

TEST_F(wMainTest, TheWindowComesBackWhereItWasAndAlwaysOnTheScreen)
{
    QRect const screen = QGuiApplication::primaryScreen()->availableGeometry();
    app.newDoc();
    wMain* window = dynamic_cast<wMain*>(doc()->getWindow());
    ASSERT_TRUE(window);
    QRect const placed(screen.x() + 30, screen.y() + 40, 420, 300);
    window->setGeometry(placed);
    ui.savePath = dir.file("Plans");
    ASSERT_TRUE(app.saveDoc(nullptr, false));
    for (int reopen = 0; reopen < 2; ++reopen) {
        fresh();
        app.openDoc(dir.file("Plans").c_str());
        ASSERT_TRUE(doc());
        EXPECT_EQ(doc()->getWindow()->geometry(), placed) << "reopened " << reopen + 1;
        ui.savePath.clear();
        ASSERT_TRUE(app.saveDoc(nullptr, false));
    }

    struct Case
    {
        QRect stored;
        QRect shown;
    };
    Case const cases[] = {
        {{screen.x() + 10, screen.y() + 10, 150, 300},
         {screen.x() + 10, screen.y() + 10, 201, 300}},
        {{-5000, 99999, 420, 300}, {screen.x(), screen.bottom() + 1 - 300, 420, 300}},
        {{screen.x(), screen.y(), 99999, -4}, {screen.x(), screen.y(), screen.width(), 150}},
    };
    for (Case const& c : cases)
        EXPECT_EQ(wMain::placeOnScreen(c.stored), c.shown) << c.stored.x() << "," << c.stored.y();
    window = dynamic_cast<wMain*>(doc()->getWindow());
    window->applyGeometry(cases[0].stored);
    EXPECT_EQ(window->geometry(), cases[0].shown);
    EXPECT_EQ(doc()->getWinW(), 201) << "stored as shown";
}

TEST_F(wMainTest, ADocumentJustOpenedIsNotModifiedOnceItsWindowIsLaidOut)
{
    app.newDoc();
    ASSERT_TRUE(cmdTimelineNewLayer::ourInstance.cmdAction());
    ui.savePath = dir.file("Plans");
    ASSERT_TRUE(app.saveDoc(nullptr, false));
    fresh();
    app.openDoc(dir.file("Plans").c_str());
    auto* window = dynamic_cast<wMain*>(doc()->getWindow());
    ASSERT_TRUE(window);
    // The pane lays itself out a little after the window got its geometry; then a pass.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->panel()->layoutTimer()->isActive(); }));
    pass();
    EXPECT_FALSE(doc()->getNeedsSave());
    EXPECT_FALSE(window->isWindowModified());
}

TEST_F(wMainTest, SpaceOpensTheEditorOfTheOneSelectedLayerAndNothingForTwo)
{
    app.newDoc();
    auto* window = dynamic_cast<wMain*>(doc()->getWindow());
    mTimeline* timeline = doc()->getTimeline();
    std::list<Obh> layers {timeline->newLayer(), timeline->newLayer()};
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->panel()->layoutTimer()->isActive(); }));
    pass();
    tlUi* ui = doc()->getCmp()->getUi();
    doc()->getSelectionEngine()->setSelection(layers);
    pass();
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_EQ(ui->getLayerEditor(), nullptr) << "two layers";
    doc()->getSelectionEngine()->setSelection(layers.front());
    pass();
    QTest::keyClick(window, Qt::Key_Space);
    ASSERT_NE(ui->getLayerEditor(), nullptr);
    ui->clearEditor();
}

TEST_F(OneLayerWindow, SpaceOpensTheEditorOfTheOneSelectedEventInPlaceOfALayerEditor)
{
    Obh const first = doc()->getCmp()->newEvent(Obh());
    Obh const second = doc()->getCmp()->newEvent(Obh());
    pass();
    // In turn, each on what the one before left open.
    struct Case
    {
        char const* what;
        std::list<Obh> selected;
        Obh eventEditor; // the event whose editor is open after Space; none: no event editor
        bool layerEditor;
    };
    Case const cases[] = {
        {"the layer alone", {layer}, Obh(), true},
        {"one event, with the layer's editor open", {first}, first, false},
        {"the other event, with the first one's editor open", {second}, second, false},
        {"two events: nothing opens", {first, second}, second, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        select(c.selected);
        EXPECT_TRUE(space()) << "Space is taken in every case";
        wEditEvent* const editor = editors().getEditor();
        EXPECT_EQ(editor ? editor->getHdl() : Obh(), c.eventEditor);
        EXPECT_EQ(editors().getLayerEditor() != nullptr, c.layerEditor);
    }
}

// Keys typed into a pop-up editor are the editor's: none runs a command of the document (a
// letter, Backspace, Delete or a key with Alt or Control), whatever the selection; only the
// editor's own fields change. Letters typed before any field has the keyboard start the title,
// and Ctrl+A then selects its text.
// Once the editor closes, the document's window has the keyboard again.
TEST_F(OneLayerWindow, KeysTypedIntoAPopUpEditorChangeOnlyItsFields)
{
    Obh const event = doc()->getCmp()->newEvent(Obh());
    pass();
    // The document as it would be saved, without its own record (which follows the window),
    // and what is selected.
    auto const content = [&] {
        std::string const file = dir.file("content.xml");
        XmlWriter w("ISO-8859-1");
        EXPECT_TRUE(w.startDocument(file.c_str(), "timeline_document_v1") && doc()->saveXml(w) &&
                    w.endDocument());
        std::string const xml = readFile(file);
        std::string selected;
        for (Obh h : doc()->getSelectionEngine()->getSelection())
            selected += std::to_string(h.getAddr()) + " ";
        return xml.substr(0, xml.rfind("<doc")) + "selected: " + selected;
    };
    // Keys go where the keyboard is, as typed keys do.
    auto const typed = [](char const* text) {
        for (char const* c = text; *c; ++c)
            QTest::keyClick(QApplication::focusWidget(), *c);
    };
    struct Case
    {
        char const* what;
        Obh object;
    };
    Case const cases[] = {{"Edit Event", event}, {"Edit Layer", layer}};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(activated(window));
        select({c.object});
        ASSERT_TRUE(space());
        auto* editor = dynamic_cast<wEditObj*>(openEditor());
        ASSERT_TRUE(editor);
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
        ASSERT_TRUE(editor->hasFocus()) << "the editor itself, where Space closes it";
        std::string const before = content();
        Obh h = c.object;
        rtl::str title;
        ASSERT_TRUE(h.obj()->getAttrAsString("title", title));
        std::string const untyped = title.cs();
        typed("new plan lefrn");
        EXPECT_EQ(editor->getTitleEdit()->text().toStdString(), untyped + "new plan lefrn");
        for (QKeyCombination key : {QKeyCombination(Qt::Key_Backspace),
                                    QKeyCombination(Qt::Key_Delete), Qt::AltModifier | Qt::Key_L,
                                    Qt::ControlModifier | Qt::Key_A, Qt::ShiftModifier | Qt::Key_F})
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        pass();
        EXPECT_EQ(firstDifference(before, content()), "") << "no command ran";
        ASSERT_EQ(openEditor(), editor);

        editor->getTitleEdit()->selectAll();
        typed("lefrn");
        QTest::keyClick(editor->getTitleEdit(), Qt::Key_Escape);
        EXPECT_EQ(openEditor(), nullptr) << "Escape closes the editor, keeping what was typed";
        EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << "the keyboard is back";
        pass();
        ASSERT_TRUE(h.obj()->getAttrAsString("title", title));
        EXPECT_STREQ(title.cs(), "lefrn");
        h.obj()->setAttrByString("title", untyped.c_str(), "rtl::str");
        EXPECT_EQ(firstDifference(before, content()), "") << "nothing else changed";

        // Ctrl+A in the editor just opened again is the title's, not the document's Select All.
        ASSERT_TRUE(space());
        editor = dynamic_cast<wEditObj*>(openEditor());
        ASSERT_TRUE(editor && QTest::qWaitForWindowActive(editor));
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(QApplication::focusWidget(), editor->getTitleEdit());
        EXPECT_EQ(editor->getTitleEdit()->selectedText().toStdString(), untyped);
        QTest::keyClick(editor->getTitleEdit(), Qt::Key_Escape);
        pass();
        EXPECT_EQ(firstDifference(before, content()), "") << "no command ran";
    }
}

// The save question gives the keyboard back to the document's window when it goes.
TEST_F(wMainTest, AfterTheSaveQuestionTheDocumentsWindowHasTheKeyboard)
{
    app.newDoc();
    edit();
    QWidget* window = doc()->getWindow();
    ASSERT_TRUE(activated(window));
    whenShown<QMessageBox>([&](QMessageBox* box) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

TEST_F(OneLayerWindow, MovingTheWindowCarriesAnOpenEventEditorAlongButNotALayerEditor)
{
    Obh const event = doc()->getCmp()->newEvent(Obh());
    pass();
    struct Case
    {
        char const* what;
        Obh selected;
        bool carried;
    };
    Case const cases[] = {{"an event editor", event, true}, {"a layer editor", layer, false}};
    QPoint const by(30, 20);
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        select({c.selected});
        ASSERT_TRUE(space());
        QWidget* editor = openEditor();
        ASSERT_NE(editor, nullptr);
        QPoint const was = editor->pos();
        // Stored without the frame, which move() places.
        QPoint const to = window->geometry().topLeft() + by;
        window->move(window->pos() + by);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return QPoint(doc()->getWinX(), doc()->getWinY()) == to;
        })) << "a shown window stores where it went";
        EXPECT_EQ(window->geometry().topLeft(), to);
        EXPECT_EQ(editor->pos(), c.carried ? was + by : was);
        editors().clearEditor();
    }
}

TEST_F(OneLayerWindow, AHiddenWindowMovedAndResizedLeavesTheStoredGeometryAlone)
{
    QRect const shown = window->geometry();
    QRect const stored(doc()->getWinX(), doc()->getWinY(), doc()->getWinW(), doc()->getWinH());
    ASSERT_EQ(stored, shown) << "a shown window stores where it is";
    window->hide();
    QRect const now(shown.x() + 40, shown.y() + 30, shown.width() - 100, shown.height() - 50);
    window->setGeometry(now);
    QMoveEvent moved(now.topLeft(), shown.topLeft());
    QApplication::sendEvent(window, &moved);
    QResizeEvent resized(now.size(), shown.size());
    QApplication::sendEvent(window, &resized);
    EXPECT_EQ(QRect(doc()->getWinX(), doc()->getWinY(), doc()->getWinW(), doc()->getWinH()),
              stored);
    // The pane still fills the window below the menu bar.
    QRect const pane = window->panel()->geometry();
    EXPECT_EQ(pane.width(), now.width());
    EXPECT_EQ(pane.bottom(), now.height() - 1);
    window->show();
}

// A press anywhere on the timeline starts a rubber band, and the headers close the layer editor
// in the pass that follows; a press on a header closes it at once.
TEST_F(OneLayerWindow, APressOnTheTimelineOrOnAHeaderClosesTheLayerEditor)
{
    Obh const event = doc()->getCmp()->newEvent(Obh());
    pass();
    QGraphicsView* view = window->panel()->myGv;
    QGraphicsItem* band = itemOf(layer);
    QGraphicsItem* box = itemOf(event);
    ASSERT_TRUE(band && box);
    QRectF const bandArea = band->sceneBoundingRect();
    ASSERT_LT(bandArea.bottom() + 10, view->viewport()->height()) << "room below the layer";
    ASSERT_FALSE(window->panel()->myHeaders.empty());
    struct Case
    {
        char const* what;
        QWidget* target;
        QPoint at;
        bool atOnce;
    };
    Case const cases[] = {
        {"the empty timeline below the layer",
         view->viewport(),
         {10, view->viewport()->height() - 5},
         false},
        {"the layer's band", view->viewport(),
         view->mapFromScene(bandArea.topLeft() + QPointF(3, 3)), false},
        {"the event", view->viewport(), view->mapFromScene(box->sceneBoundingRect().center()),
         false},
        {"the layer's header", window->panel()->myHeaders.front(), {5, 5}, true},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        select({layer});
        ASSERT_TRUE(space());
        ASSERT_NE(editors().getLayerEditor(), nullptr);
        // Sent, not through the window system, which would leave its pointer where later
        // tests open their editors.
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent click(
                type, QPointF(c.at), QPointF(c.target->mapToGlobal(c.at)), Qt::LeftButton,
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(c.target, &click);
            if (type == QEvent::MouseButtonPress) {
                EXPECT_EQ(editors().getLayerEditor() == nullptr, c.atOnce);
            }
        }
        pass();
        EXPECT_EQ(editors().getLayerEditor(), nullptr);
        editors().clearEditor();
    }
}

TEST_F(wMainTest, TheTitleIsTheDocumentsNameMarkedWhileItIsModified)
{
    app.newDoc();
    pass();
    QWidget* window = doc()->getWindow();
    ui.savePath = dir.file("Plans");
    // In turn: what happens, then the title the window system shows.
    struct Case
    {
        char const* what;
        std::function<void()> act;
        char const* title;
    };
    Case const cases[] = {
        {"new", [] {}, "Untitled"},
        {"edited", [&] { edit(); }, "Untitled*"},
        {"saved",
         [&] {
             ASSERT_TRUE(app.saveDoc(nullptr, false));
             pass();
         },
         "Plans"},
        {"edited again", [&] { edit(); }, "Plans*"},
    };
    for (Case const& c : cases) {
        c.act();
        ASSERT_TRUE(window->windowHandle()) << c.what;
        EXPECT_EQ(window->windowHandle()->title().toStdString(), c.title) << c.what;
        EXPECT_EQ(window->isWindowModified(), std::string(c.title).back() == '*') << c.what;
    }
}

// The question asks in the program's own words, with Save as the default answer and Cancel as
// the one Escape gives, which keeps the window and the document.
TEST_F(wMainTest, TheSaveQuestionAsksInItsOwnWordsAndEscapeCancels)
{
    app.newDoc();
    edit();
    QPointer<QWidget> window = doc()->getWindow();
    std::map<std::string, std::string> seen;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        seen["title"] = box->windowTitle().toStdString();
        seen["text"] = box->text().toStdString();
        seen["warning icon"] = box->icon() == QMessageBox::Warning ? "yes" : "no";
        seen["window-modal"] = box->windowModality() == Qt::WindowModal ? "yes" : "no";
        seen["Yes"] = box->button(QMessageBox::Yes)->text().toStdString();
        seen["No"] = box->button(QMessageBox::No)->text().toStdString();
        seen["default"] = box->defaultButton()->text().toStdString();
        seen["escape"] =
            box->escapeButton() == box->button(QMessageBox::Cancel) ? "Cancel" : "another";
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_FALSE(window->close());
    std::map<std::string, std::string> const expected = {
        {"title", "SDI"},
        {"text",
         "This document has been modified.\nDo you want to save your changes before closing?"},
        {"warning icon", "yes"},
        {"window-modal", "yes"},
        {"Yes", "Save..."},
        {"No", "Don't Save"},
        {"default", "Save..."},
        {"escape", "Cancel"},
    };
    EXPECT_EQ(seen, expected);
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(doc()->getNeedsSave());
    EXPECT_FALSE(static_cast<wMain*>(window.data())->isClean()) << "the next close asks again";
}

// Working in the window writes a line per command and nothing per key, selected event, editor
// or paint: Select All over the events, keys that run nothing, the event editor shown and drawn.
TEST_F(OneLayerWindow, WorkingInTheWindowWritesALinePerCommandAndNothingMore)
{
    ScopedTraces quiet(false);
    std::list<Obh> events;
    for (int i = 0; i < 30; ++i)
        events.push_back(doc()->getCmp()->newEvent(Obh()));
    pass();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    testing::internal::CaptureStdout();
    QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
    pass();
    QTest::keyClicks(window, "quiz");
    select({events.front()});
    EXPECT_TRUE(space());
    pass();
    ASSERT_TRUE(openEditor());
    openEditor()->grab();
    std::string const out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_THAT(out, HasSubstr("END CMD: cmdSelectAll SUCCESS!"));
}

// A new document saved, opened and saved again stores the same view: every scale's zoom, the time
// window and the layer's height. (The rows' window is laid out again on opening.)
TEST_F(OneLayerWindow, ANewDocumentSavedOpenedAndSavedAgainStoresTheSameView)
{
    auto const view = [&](char const* name) {
        std::vector<std::string> lines;
        std::istringstream text(readFile(dir.file(name) + ".orstime/doc_data.xml"));
        for (std::string line; std::getline(text, line);)
            if (line.find("<zoom ") != std::string::npos ||
                line.find("\"sceneH\"") != std::string::npos ||
                (line.find("<vis_") != std::string::npos && line.find(" yr=") != std::string::npos))
                lines.push_back(line);
        return lines;
    };
    ui.savePath = dir.file("First");
    ASSERT_TRUE(app.saveDoc(nullptr, true));
    fresh();
    app.openDoc(ui.savePath.c_str());
    window = dynamic_cast<wMain*>(doc()->getWindow());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->panel()->layoutTimer()->isActive(); }));
    pass();
    ui.savePath = dir.file("Second");
    ASSERT_TRUE(app.saveDoc(nullptr, true));
    EXPECT_EQ(view("First").size(), 4u + 2u * 2u + 1u) << "four scales, two of time, and a layer";
    EXPECT_EQ(view("Second"), view("First"));
}

#include "wMainTest.moc"
