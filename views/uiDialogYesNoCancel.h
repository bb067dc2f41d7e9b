#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// A question with three answers, left to right: cancel, yes, no. exec() returns 1 for yes, -1 for
// no and 0 for cancel, as it does when the dialog is closed or Escape is pressed.
class uiDialogYesNoCancel : public QDialog
{
    Q_OBJECT

public:
    // The question's text (UTF-8), then the texts of the yes, no and cancel buttons.
    uiDialogYesNoCancel(char const* text, char const* yes, char const* no, char const* cancel);
    ~uiDialogYesNoCancel() override;

public Q_SLOTS:
    virtual void yesCb();
    virtual void noCb();
    virtual void cancelCb();

private:
    QLabel* myText;
    QPushButton* myYes;
    QPushButton* myNo;
    QPushButton* myCancel;
};
