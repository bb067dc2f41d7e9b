#include "ObQtUiDialogs.h"

#include "aPath.h"
#include "aTrace.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

// A modal dialog on a platform that shows nothing (offscreen, minimal) could never be answered
// and would hold the program for ever: such a question is answered "cancel" at once.
static bool nobodyToAsk(char const* question)
{
    QString const platform = QGuiApplication::platformName();
    if (platform != "offscreen" && platform != "minimal")
        return false;
    A_TRACE("No screen to ask on (%s): '%s' cancelled\n", platform.toUtf8().constData(), question ? question : "");
    return true;
}

ObQtUiDialogs::ObQtUiDialogs() = default;

ObQtUiDialogs::~ObQtUiDialogs() = default;

bool ObQtUiDialogs::browseForFilePathToSave(aPath& out, char const* title, char const* dir, char const* filter)
{
    return browse(true, out, title, dir, filter);
}

bool ObQtUiDialogs::browseForFilePathToLoad(aPath& out, char const* title, char const* dir, char const* filter)
{
    return browse(false, out, title, dir, filter);
}

bool ObQtUiDialogs::browse(bool save, aPath& out, char const* title, char const* dir, char const* filter)
{
    if (nobodyToAsk(title))
        return false;
    QFileDialog dialog(nullptr, QString::fromUtf8(title ? title : ""), QString::fromUtf8(dir ? dir : ""));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setViewMode(QFileDialog::List);
    if (filter)
        dialog.setNameFilter(QString::fromUtf8(filter));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return false;
    out = files.first().toUtf8().constData();
    return true;
}

void ObQtUiDialogs::warn(char const* title, char const* text)
{
    A_TRACE("%s: %s\n", title ? title : "", text ? text : "");
    if (nobodyToAsk(title))
        return;
    QMessageBox::warning(nullptr, QString::fromUtf8(title ? title : ""), QString::fromUtf8(text ? text : ""));
}

bool ObQtUiDialogs::confirm(char const* title, char const* text)
{
    if (nobodyToAsk(text))
        return false;
    return QMessageBox::warning(nullptr, QString::fromUtf8(title ? title : ""),
                                QString::fromUtf8(text ? text : ""),
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

int ObQtUiDialogs::saveBeforeClosing(char const* docName)
{
    if (nobodyToAsk("Save before closing?"))
        return 0;
    QString text = docName ? QString("Save '%1' before closing?").arg(QString::fromUtf8(docName))
                           : QString("Save current document before closing?");
    QMessageBox box;
    box.setText(text);
    QPushButton* save = box.addButton("Save", QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton("Don't Save", QMessageBox::DestructiveRole);
    box.addButton("Cancel", QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() == save)
        return 1;
    if (box.clickedButton() == discard)
        return -1;
    return 0;
}
