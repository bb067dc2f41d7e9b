#include "ObDoc.h"
#include "ObQtTestSupport.h"
#include "ObQtUiDialogs.h"
#include "ScratchDir.h"

#include <QApplication>
#include <QDialog>
#include <QSettings>
#include <QTimer>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(ObQtAppTest, OpenDocumentsSettingIsReadButNeverWritten)
{
    ScratchDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.path));
    QString const org = QCoreApplication::organizationName();
    QCoreApplication::setOrganizationName("VantrelSettingsTest");
    std::string const file = dir.file("VantrelSettingsTest.conf");
    std::string const stored = "[General]\nOpen%20Documents=/a/one.orstime, /b/two.orstime\n";
    writeFile(file, stored);
    struct stat before {}, after {};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    ObQtTestApp::get()->initSessionState();
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_EQ(readFile(file), stored);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    QCoreApplication::setOrganizationName(org);
}

TEST(ObQtAppTest, QuestionsGoThroughTheUserInterfaceService)
{
    FakeUi ui;
    ObQtApp* app = ObQtTestApp::get();
    ObApp::ourLastSavePaths.clear();
    ObDoc doc;
    aPath path;
    EXPECT_FALSE(app->askForPathToSave(&doc, path, nullptr));
    EXPECT_TRUE(ObApp::ourLastSavePaths.empty()) << "cancelled: nothing remembered";
    ui.chosen = "/tmp/plans/Plan.orstime";
    EXPECT_TRUE(app->askForPathToLoad(&doc, path, "/srv"));
    EXPECT_STREQ(path.c(), "/tmp/plans/Plan.orstime");
    EXPECT_TRUE(ObApp::ourLastLoadPaths[rtl::str("doc")] == "/tmp/plans");
    ui.chosen.clear();
    EXPECT_EQ(app->openDoc(), nullptr);

    aPath home;
    home.SetToHomeDir();
    EXPECT_EQ(ui.asked, (std::vector<std::string>{std::string("Save as...|") + home.c(), "Open...|/srv", "Open Document...|(none)"}));
    ObApp::ourLastLoadPaths.clear();

    // Off screen nobody could answer Qt's own dialogs: they answer "cancel" without showing.
    bool shown = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (QDialog* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                shown = true, d->reject();
    });
    closer.start(200);
    ObQtUiDialogs dialogs;
    EXPECT_FALSE(dialogs.browseForFilePathToLoad(path, "Open...", "/", nullptr));
    EXPECT_EQ(dialogs.saveBeforeClosing("Plan"), 0);
    EXPECT_FALSE(shown);
}

// A start that fails says so and returns 1 without entering the event loop (if it did, the
// queued quit would end it with 0).
TEST(ObQtAppTest, AFailedStartSaysSoAndRunsNoEventLoop)
{
    ObQtTestApp* app = ObQtTestApp::get();
    app->myInitFails = true;
    QTimer::singleShot(0, app, &QCoreApplication::quit);
    testing::internal::CaptureStdout();
    int const status = app->run();
    std::string const out = testing::internal::GetCapturedStdout();
    app->myInitFails = false;
    drainEvents();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, "Trouble initializing the application!\n");
}

// Qt switches the process to the user's locale when the application object is made; numbers
// must still be written and read with a point. The check runs in a child started under a
// comma-decimal locale, whose main makes the application object afresh.
TEST(ObQtAppTest, NumbersKeepTheirPointUnderACommaLocale)
{
    locale_t const de = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
    if (!de)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (tools/deps generates it)";
    freelocale(de);
    char const* old = std::getenv("LC_ALL");
    std::string const saved = old ? old : "";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    std::string const style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh process, not a fork of this one
    EXPECT_EXIT(
        {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.1f", 0.5);
            bool const read = std::strtod("2.5", nullptr) == 2.5;
            bool const dates = std::string(std::setlocale(LC_TIME, nullptr)).rfind("de_DE", 0) == 0;
            std::exit(dates && read && std::string(buf) == "0.5" ? 0 : 3);
        },
        testing::ExitedWithCode(0), "");
    old ? setenv("LC_ALL", saved.c_str(), 1) : unsetenv("LC_ALL");
    GTEST_FLAG_SET(death_test_style, style);
}
