#include "uiQtEngine.h"

#include "aPath.h"
#include "uiDialogYesNoCancel.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

bool isBundle(QString const& path)
{
    QFileInfo const info(path);
    return info.isDir() && info.fileName().endsWith(QLatin1String(uiQtEngine::ourBundleSuffix));
}

// Qt's file dialog, taking a bundle folder named in its file box as the answer.
class BundleDialog : public QFileDialog
{
    Q_OBJECT
public:
    using QFileDialog::QFileDialog;

    // The bundle chosen; empty when the answer is Qt's own.
    QString myBundle;

    void accept() override
    {
        QStringList const files = selectedFiles();
        if (files.size() != 1 || !isBundle(files.first())) {
            QFileDialog::accept();
            return;
        }
        if (acceptMode() == AcceptSave && !replaceConfirmed(files.first()))
            return;
        myBundle = files.first();
        QDialog::accept();
    }

private:
    bool replaceConfirmed(QString const& path)
    {
        QString const question = QString("%1 already exists.\nDo you want to replace it?")
                                     .arg(QFileInfo(path).fileName());
        return QMessageBox::warning(this, windowTitle(), question,
                                    QMessageBox::Yes | QMessageBox::No,
                                    QMessageBox::No) == QMessageBox::Yes;
    }
};

} // namespace

char const* const uiQtEngine::ourBundleSuffix = ".orstime";

uiQtEngine::uiQtEngine() = default;

uiQtEngine::~uiQtEngine() = default;

bool uiQtEngine::browseForFilePathToSave(aPath& out, char const* title, char const* dir,
                                         char const* filter)
{
    return browse(true, out, title, dir, filter);
}

bool uiQtEngine::browseForFilePathToLoad(aPath& out, char const* title, char const* dir,
                                         char const* filter)
{
    return browse(false, out, title, dir, filter);
}

bool uiQtEngine::browse(bool save, aPath& out, char const* title, char const* dir,
                        char const* filter)
{
    BundleDialog dialog(nullptr, QString::fromUtf8(title ? title : ""),
                        QString::fromUtf8(dir ? dir : ""));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setViewMode(QFileDialog::List);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (filter)
        dialog.setNameFilter(QString::fromUtf8(filter));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QString const chosen =
        dialog.myBundle.isEmpty() ? dialog.selectedFiles().value(0) : dialog.myBundle;
    if (chosen.isEmpty())
        return false;
    // The file system's own spelling of the name, whatever characters it holds.
    out = QFile::encodeName(chosen).constData();
    return true;
}

void uiQtEngine::warn(char const* title, char const* text)
{
    QMessageBox::warning(nullptr, QString::fromUtf8(title ? title : ""),
                         QString::fromUtf8(text ? text : ""));
}

bool uiQtEngine::confirm(char const* title, char const* text)
{
    return QMessageBox::warning(nullptr, QString::fromUtf8(title ? title : ""),
                                QString::fromUtf8(text ? text : ""),
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

int uiQtEngine::saveBeforeClosing(char const* docName)
{
    QString const text = docName && *docName
                             ? QString("Save '%1' before closing?").arg(QString::fromUtf8(docName))
                             : QString("Save current document before closing?");
    uiDialogYesNoCancel question(text.toUtf8().constData(), "Save", "Don't Save", "Cancel");
    return question.exec();
}

#include "uiQtEngine.moc"
