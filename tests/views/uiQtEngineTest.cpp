#include "uiQtEngine.h"
#include "ScratchDir.h"
#include "WhenShown.h"
#include "aPath.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

// Types the path into the file box and takes it, as the dialog's Open or Save button does; true
// when that ended the dialog.
bool typeAndAccept(QFileDialog* dialog, std::string const& path)
{
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
    QMetaObject::invokeMethod(dialog, "accept");
    return !dialog->isVisible();
}

void click(QWidget* dialog, char const* text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == text)
            return button->click();
    ADD_FAILURE() << "no button " << text;
}

// A document bundle in a scratch folder.
struct Bundle
{
    ScratchDir dir;
    std::string path = dir.file("Plan.orstime");
    std::string doc = path + "/doc_data.xml";
    Bundle()
    {
        std::filesystem::create_directory(path);
        writeFile(doc, "<timeline_document_v1/>");
    }
};

} // namespace

TEST(uiQtEngineTest, ADocumentOpensByItsBundleItsDocumentFileOrItsPathWithoutSuffix)
{
    Bundle bundle;
    std::string const chosen[] = {bundle.path, bundle.doc, bundle.dir.file("Plan")};
    for (std::string const& path : chosen) {
        bool plain = false;
        QString title;
        whenShown<QFileDialog>([&](QFileDialog* d) {
            plain = d->testOption(QFileDialog::DontUseNativeDialog);
            title = d->windowTitle();
            if (!typeAndAccept(d, path))
                d->reject();
        });
        aPath out;
        EXPECT_TRUE(uiQtEngine().browseForFilePathToLoad(out, "Open Document...",
                                                         bundle.dir.path.c_str(), nullptr));
        EXPECT_STREQ(out.c(), path.c_str());
        EXPECT_TRUE(plain) << "Qt's own dialog, the same everywhere";
        EXPECT_EQ(title, "Open Document...");
    }
}

TEST(uiQtEngineTest, CancellingLeavesThePathAsItWas)
{
    whenShown<QFileDialog>([](QFileDialog* d) { d->reject(); });
    aPath out("/kept/Plan.orstime");
    EXPECT_FALSE(uiQtEngine().browseForFilePathToSave(out, "Save as...", nullptr, nullptr));
    EXPECT_STREQ(out.c(), "/kept/Plan.orstime");
}

TEST(uiQtEngineTest, SavingOntoAnExistingBundleAsksFirst)
{
    Bundle bundle;
    bool stillOpen = false;
    whenShown<QFileDialog>([&](QFileDialog* d) {
        whenShown<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
        stillOpen = !typeAndAccept(d, bundle.path);
        d->reject();
    });
    aPath out;
    EXPECT_FALSE(uiQtEngine().browseForFilePathToSave(out, "Save as...", nullptr, nullptr));
    EXPECT_TRUE(stillOpen) << "not replacing it goes back to the choice";

    QString asked;
    whenShown<QFileDialog>([&](QFileDialog* d) {
        whenShown<QMessageBox>([&](QMessageBox* box) {
            asked = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        if (!typeAndAccept(d, bundle.path))
            d->reject();
    });
    EXPECT_TRUE(uiQtEngine().browseForFilePathToSave(out, "Save as...", nullptr, nullptr));
    EXPECT_STREQ(out.c(), bundle.path.c_str());
    EXPECT_EQ(asked, "Plan.orstime already exists.\nDo you want to replace it?");

    whenShown<QFileDialog>([&](QFileDialog* d) {
        if (!typeAndAccept(d, bundle.dir.file("New")))
            d->reject();
    });
    EXPECT_TRUE(uiQtEngine().browseForFilePathToSave(out, "Save as...", nullptr, nullptr));
    EXPECT_EQ(std::string(out.c()), bundle.dir.file("New"));
}

TEST(uiQtEngineTest, SaveQuestionAnswersSaveDontSaveOrCancel)
{
    struct Answer
    {
        char const* button;
        int result;
    };
    for (Answer const& a : {Answer {"Save", 1}, Answer {"Don't Save", -1}, Answer {"Cancel", 0}}) {
        QString text;
        whenShown<QDialog>([&](QDialog* d) {
            text = d->findChild<QLabel*>()->text();
            click(d, a.button);
        });
        EXPECT_EQ(uiQtEngine().saveBeforeClosing("Plan"), a.result) << a.button;
        EXPECT_EQ(text, "Save 'Plan' before closing?");
    }

    QString text;
    whenShown<QDialog>([&](QDialog* d) {
        text = d->findChild<QLabel*>()->text();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(d, &escape);
    });
    EXPECT_EQ(uiQtEngine().saveBeforeClosing(nullptr), 0) << "Escape cancels";
    EXPECT_EQ(text, "Save current document before closing?");
}
