#include "ObQtCmd.h"
#include "ObQtMbar.h"
#include "ObQtMenu.h"
#include "ObQtMitem.h"
#include "ObQtTestSupport.h"

#include <QAction>
#include <gtest/gtest.h>

#include <string>

// A command whose state the tests switch; a global name, as the traces print it.
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

// What the user sees of an entry: "E" enabled or "-" disabled, then "x" checked or " ".
std::string look(ObQtMitem* item)
{
    QAction* a = item->getQAction();
    return std::string(a->isEnabled() ? "E" : "-") + (a->isChecked() ? "x" : " ");
}

std::string openMenu(ObQtMenu* menu)
{
    testing::internal::CaptureStdout();
    emit menu->aboutToShow(); // what Qt emits just before the menu shows
    return testing::internal::GetCapturedStdout();
}

struct ObQtMenuTest : testing::Test
{
    ObQtMbar bar;
    ObQtMenu* menu = bar.addMenu("Edit");
    cmdQtTestSwitch cmd;
    ObQtMitem* plain = menu->addMitem("Undo", &cmd, "Ctrl+Z", false);
    ObQtMitem* check = menu->addMitem("Lock", &cmd, QKeySequence("Alt+L"), true);
    ObQtMitem* none = menu->addMitem("Copy", nullptr, nullptr, false);
    ObQtMitem* func = menu->addFuncMitem("About", recordFunc, nullptr, true);
};

} // namespace

TEST_F(ObQtMenuTest, EntriesShowTheirCommandsStateEachTimeTheMenuOpens)
{
    EXPECT_EQ(plain->getQAction()->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(plain->getQAction()->shortcutContext(), Qt::ApplicationShortcut);
    EXPECT_EQ(look(none), "- ") << "nothing to run: disabled at once";

    cmd.active = false;
    cmd.checked = true;
    std::string out = openMenu(menu);
    EXPECT_EQ(look(plain) + look(check) + look(none) + look(func), "- -x- E ");
    EXPECT_NE(out.find("No cmd or func for mitem"), std::string::npos);
    EXPECT_EQ(cmd.runs, 0) << "setting the check mark runs nothing";

    cmd.active = true;
    cmd.checked = false;
    openMenu(menu);
    EXPECT_EQ(look(plain) + look(check) + look(none) + look(func), "E E - E ");
}

TEST_F(ObQtMenuTest, ChosenEntriesRunTheirCommandOrCallTheirFunction)
{
    cmdQtTestPlain fails;
    ObQtMitem* failing = menu->addMitem("Fail", &fails, nullptr, false);
    plain->setTitle("undo entry");
    funcCalls.clear();

    testing::internal::CaptureStdout();
    plain->getQAction()->trigger();
    check->getQAction()->trigger();
    failing->getQAction()->trigger();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(cmd.runs, 2);
    for (char const* line : {"MITEM triggered: undo entry", "MITEM toggled: ",
                             "====================================> BEGIN CMD: cmdQtTestSwitch",
                             "<====================================== END CMD: cmdQtTestSwitch SUCCESS!",
                             "END CMD: cmdQtTestPlain Fail."})
        EXPECT_NE(out.find(line), std::string::npos) << line;

    func->getQAction()->trigger(); // Qt checks it; the function still hears false
    EXPECT_EQ(funcCalls, std::vector<bool>{false});
}
