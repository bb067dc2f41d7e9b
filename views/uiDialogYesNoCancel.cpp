#include "uiDialogYesNoCancel.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int ourMargin = 10;
constexpr int ourButtonTop = 100;
constexpr int ourButtonW = 100;
constexpr int ourButtonH = 30;
constexpr int ourHeight = 140;

QString text(char const* utf8)
{
    return QString::fromUtf8(utf8 ? utf8 : "");
}

} // namespace

uiDialogYesNoCancel::uiDialogYesNoCancel(char const* question, char const* yes, char const* no,
                                         char const* cancel)
    : QDialog(nullptr)
{
    // Cancel stands apart on the left, the two answers together on the right.
    myCancel = new QPushButton(text(cancel), this);
    myCancel->setGeometry(ourMargin, ourButtonTop, ourButtonW, ourButtonH);
    connect(myCancel, &QPushButton::clicked, this, &uiDialogYesNoCancel::cancelCb);
    myYes = new QPushButton(text(yes), this);
    myYes->setGeometry(myCancel->geometry().right() + 1 + 50, ourButtonTop, ourButtonW, ourButtonH);
    connect(myYes, &QPushButton::clicked, this, &uiDialogYesNoCancel::yesCb);
    myNo = new QPushButton(text(no), this);
    myNo->setGeometry(myYes->geometry().right() + 1 + ourMargin, ourButtonTop, ourButtonW,
                      ourButtonH);
    connect(myNo, &QPushButton::clicked, this, &uiDialogYesNoCancel::noCb);
    int const width = myNo->geometry().right() + 1 + ourMargin;
    // A long name wraps instead of running out of the dialog.
    myText = new QLabel(text(question), this);
    myText->setWordWrap(true);
    myText->setGeometry(ourMargin, ourMargin, width - 2 * ourMargin, ourButtonTop - 2 * ourMargin);
    myText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFixedSize(width, ourHeight);
}

uiDialogYesNoCancel::~uiDialogYesNoCancel() = default;

void uiDialogYesNoCancel::yesCb()
{
    done(1);
}

void uiDialogYesNoCancel::noCb()
{
    done(-1);
}

void uiDialogYesNoCancel::cancelCb()
{
    done(0);
}
