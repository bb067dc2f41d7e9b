#include "ObDoc.h"
#include "ObQtCmd.h"
#include "ObQtMbar.h"
#include "ObQtMenu.h"
#include "ObQtMitem.h"
#include "ObQtTestSupport.h"
#include "ObQtWinDoc.h"

#include <QAction>
#include <QPointer>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

// A command whose state the tests switch.
struct cmdQtTestSwitch : ObQtCmd
{
    bool isActiveTest() const override { return active; }
    bool isCheckedTest() const override { return checked; }
    bool cmdAction() override { return ++runs, true; }
    bool active = true, checked = false;
    int runs = 0;
};

struct cmdQtTestPlain : ObQtCmd
{
};

namespace {

std::vector<bool> funcCalls;
void recordFunc(bool checked)
{
    funcCalls.push_back(checked);
}

// Runs what Qt runs just before the menu shows (quietly: it traces).
void openMenu(ObQtMenu* menu)
{
    testing::internal::CaptureStdout();
    emit menu->aboutToShow();
    testing::internal::GetCapturedStdout();
}

struct ObQtMenuTest : testing::Test
{
    // What the user sees of the entries: "E" enabled or "-" disabled, then "x" checked or " ".
    std::string looks()
    {
        std::string s;
        for (ObQtMitem* item : menu->myMitems)
            s += std::string(item->getQAction()->isEnabled() ? "E" : "-") + (item->getQAction()->isChecked() ? "x" : " ");
        return s;
    }
    ObQtMbar bar;
    ObQtMenu* menu = bar.addMenu("Edit");
    cmdQtTestSwitch cmd;
    ObQtMitem* plain = menu->addMitem("Undo", &cmd, "Ctrl+Z", false);
    ObQtMitem* check = menu->addMitem("Lock", &cmd, QKeySequence("Alt+L"), true);
    ObQtMitem* none = menu->addMitem("Copy", nullptr, nullptr, false);
    ObQtMitem* func = menu->addFuncMitem("About", recordFunc, nullptr, true);
};

// A concrete document window lays out its own children on resize and calls no base for it.
struct OwnLayoutWindow : ObQtWinDoc
{
    Q_OBJECT

public:
    using ObQtWinDoc::ObQtWinDoc;
    void resizeEvent(QResizeEvent*) override {}
};

void activate(QWidget& w)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

} // namespace

TEST_F(ObQtMenuTest, EntriesShowTheirCommandsStateEachTimeTheMenuOpens)
{
    EXPECT_EQ(looks(), "E E - E ") << "nothing to run: disabled at once";
    cmd.active = false;
    cmd.checked = true;
    openMenu(menu);
    EXPECT_EQ(looks(), "- -x- E ");
    EXPECT_EQ(cmd.runs, 0) << "setting the check mark runs nothing";
    cmd.active = true;
    cmd.checked = false;
    openMenu(menu);
    EXPECT_EQ(looks(), "E E - E ");
}

TEST_F(ObQtMenuTest, ChosenEntriesRunTheirCommandOrCallTheirFunction)
{
    cmdQtTestPlain fails;
    ObQtMitem* failing = menu->addMitem("Fail", &fails, nullptr, false);
    funcCalls.clear();
    testing::internal::CaptureStdout(); // traced
    plain->getQAction()->trigger();
    check->getQAction()->trigger();
    failing->getQAction()->trigger();
    func->getQAction()->trigger(); // Qt checks it; the function still hears false
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(cmd.runs, 2);
    EXPECT_EQ(funcCalls, std::vector<bool>{false});
}

// Without a global menu bar the document window carries the application's bar: its shortcuts
// fire by key while that window is active, with the command's state of the moment; in another
// window of the application only the entries made the application's fire, the others are that
// window's keys. The bar outlives the windows.
TEST_F(ObQtMenuTest, ShortcutsFireWhileADocumentWindowIsOpen)
{
    ObQtApp::ourMenuBar = &bar;
    ObDoc doc;
    auto first = std::make_unique<OwnLayoutWindow>(&doc);
    activate(*first);
    QTest::keyClick(first.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cmd.runs, 1);
    first->resize(420, 200);
    EXPECT_EQ(bar.width(), 420);
    EXPECT_EQ(first->contentsRect().top(), bar.geometry().bottom() + 1);

    cmd.active = false;
    openMenu(menu); // the menu last showed the entry disabled, yet the command is active now
    cmd.active = true;
    QTest::keyClick(first.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cmd.runs, 2);
    cmd.active = false;
    QTest::keyClick(first.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cmd.runs, 2) << "an inactive command is not run by its key";
    cmd.active = true;

    QPointer<ObQtMbar> alive = &bar;
    {
        ObQtWinDoc second(&doc); // made before the last window goes
        first.reset();
        activate(second);
        QTest::keyClick(&second, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(cmd.runs, 3);
        QWidget other; // a window of the application without the bar: a pop-up editor, say
        activate(other);
        QTest::keyClick(&other, Qt::Key_L, Qt::AltModifier);
        EXPECT_EQ(cmd.runs, 3) << "a key without Ctrl is the other window's";
        QTest::keyClick(&other, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(cmd.runs, 3) << "a key with Ctrl is the other window's too";
        plain->setAppShortcut();
        QTest::keyClick(&other, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(cmd.runs, 4) << "an entry made the application's fires in every window";
    }
    ASSERT_TRUE(alive) << "the last window gives the bar back";
    EXPECT_EQ(bar.parentWidget(), nullptr);
    ObQtApp::ourMenuBar = nullptr;
}

#include "ObQtMenuTest.moc"
