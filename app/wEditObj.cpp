#include "wEditObj.h"

#include "ObObj.h"
#include "aAssert.h"
#include "mTrace.h"
#include "tlUi.h"
#include "uiColor.h"
#include "uiFonts.h"
#include "uiStamp.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTextEdit>

namespace {

char const* const ourStyleSheet =
    "QLineEdit { background: #AAA; border: 1px solid #000; color: #000; }"
    "QTextEdit { background: #AAA; border: 1px solid #000; color: #000; }"
    "QLabel { color: #DDD; }"
    "QLabel#what { color: #FFF; }";

// The colour labels' object names, by colour type.
char const* const ourColorNames[] = {"fill", "line", "text"};

} // namespace

wEditObj::wEditObj(Obh hdl, int selX, int selY, int selW, int selH, bool noFocus)
    : wEdit(ContentW, ContentH, selX, selY, selW, selH), myHdl(hdl), myObj(hdl.obj()),
      myLabelFont(uiFonts::font("Gil Sans", 12, 50)),
      myHeadingFont(uiFonts::font("Gil Sans", 18, 66))
{
    myTitleEdit = new QLineEdit(this);
    myStartStamp = new uiStamp(this, 0, 1, 6, false, 12);
    myEndStamp = new uiStamp(this, 0, 1, 6, true, 12);
    myKeywordsEdit = new QLineEdit(this);
    myColorPicker = new uiColor(this, 0.0f, 0.0f, 1.0f, 1.0f, 12);
    myNotesEdit = new QTextEdit(this);
    myNotesEdit->setAcceptRichText(false);
    myWhatLabel = addLabel("");
    myWhatLabel->setObjectName("what");
    myWhatLabel->setFont(myHeadingFont);
    myWhatLabel->setAlignment(Qt::AlignLeft);
    myStartLabel = addLabel("Start");
    myEndLabel = addLabel("End");
    myTitleLabel = addLabel("Title");
    myKeywordsLabel = addLabel("Keywords");
    myFillLabel = addLabel("Fill");
    myLineLabel = addLabel("Line");
    myTextLabel = addLabel("Text");
    for (int type = ColorTypeFill; type <= ColorTypeText; ++type)
        getColorLabel(type)->setObjectName(ourColorNames[type - 1]);
    setStyleSheet(ourStyleSheet);
    connect(myColorPicker, &uiColor::colorChanged, this, &wEditObj::colorChangedCb);
    // The editor itself has the keyboard, so that Space closes it.
    if (!noFocus)
        setFocus(Qt::ActiveWindowFocusReason);
}

wEditObj::~wEditObj() = default;

bool wEditObj::edits(ObObj const* obj) const
{
    return obj && object() == obj;
}

void wEditObj::forgetObject()
{
    myObj = nullptr;
}

ObObj* wEditObj::object() const
{
    if (!myObj)
        return nullptr;
    Obh h = myHdl;
    ObObj* obj = h.obj();
    return obj == myObj ? obj : nullptr;
}

QLabel* wEditObj::addLabel(char const* text)
{
    auto* label = new QLabel(QString::fromUtf8(text), this);
    label->setLineWidth(0);
    label->setFrameStyle(QFrame::NoFrame);
    label->setAlignment(Qt::AlignRight);
    label->setFont(myLabelFont);
    label->show();
    return label;
}

QLabel* wEditObj::getColorLabel(int type) const
{
    QLabel* const labels[] = {myFillLabel, myLineLabel, myTextLabel};
    A_ASSERT(type >= ColorTypeFill && type <= ColorTypeText);
    return labels[type - 1];
}

void wEditObj::setTitle(char const* title)
{
    QString const text = QString::fromUtf8(title ? title : "");
    myWhatLabel->setText(text);
    setWindowTitle(text);
}

void wEditObj::loadShared(rtl::str const& title, rtl::str const& keywords, rtl::str const& notes,
                          aTs& start, aTs& end)
{
    myTitleEdit->setText(uiText::fromModel(title));
    myStartStamp->setTs(start);
    myEndStamp->setTs(end);
    myNotesEdit->setPlainText(uiText::fromModel(notes));
    myKeywordsEdit->setText(uiText::fromModel(keywords));
    setColorType(ColorTypeFill);
}

void wEditObj::setColorType(int type)
{
    A_ASSERT(type >= ColorTypeFill && type <= ColorTypeText);
    Rgba c {};
    if (!readColor(type, c))
        return;
    myColorType = type;
    showColorType();
    // Loading the picker is no edit: nothing reaches the object.
    QSignalBlocker quiet(myColorPicker);
    myColorPicker->setColor(c[0], c[1], c[2], c[3]);
    myColorPicker->setLastColor(c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, c[3] / 255.0f);
}

void wEditObj::showColorType()
{
    for (int type = ColorTypeFill; type <= ColorTypeText; ++type) {
        QLabel* label = getColorLabel(type);
        label->setStyleSheet(
            QString("QLabel#%1 { color: %2; }")
                .arg(ourColorNames[type - 1], type == myColorType ? "#FFF" : "#888"));
        label->update();
    }
}

void wEditObj::colorChangedCb(float, float, float, float)
{
    if (!object())
        return;
    Rgba c {};
    myColorPicker->getColor(c[0], c[1], c[2], c[3]);
    if (writeColor(myColorType, c))
        edited(colorDirt());
}

void wEditObj::edited(uint32_t id) const
{
    if (id)
        raiseDirt(id);
    raiseDirt(DirtUserEditedAttrs);
    requestRefresh();
}

void wEditObj::layoutShared(int keywordsY, int pickerY)
{
    int const x0 = myInset.x(), y0 = myInset.y(), w = myInset.width(), h = myInset.height();
    int const fieldX = x0 + 75, labelX = x0 + 10, fieldW = w - 85, labelW = 57;
    myWhatLabel->setGeometry(fieldX, y0 + 14, fieldW, 20);
    myTitleEdit->setGeometry(fieldX, y0 + 38, fieldW, 20);
    myStartStamp->setGeometry(fieldX, y0 + 62, fieldW, 20);
    myEndStamp->setGeometry(fieldX, y0 + 86, fieldW, 20);
    myKeywordsEdit->setGeometry(fieldX, y0 + keywordsY, fieldW, 20);
    myColorPicker->setGeometry(fieldX, y0 + pickerY, fieldW, 70);
    int const notesY = y0 + pickerY + 74;
    myNotesEdit->setGeometry(labelX, notesY, w - 20, h - 10 - notesY);
    myTitleLabel->setGeometry(labelX, y0 + 43, labelW, 20);
    myStartLabel->setGeometry(labelX, y0 + 67, labelW, 20);
    myEndLabel->setGeometry(labelX, y0 + 91, labelW, 20);
    myKeywordsLabel->setGeometry(labelX, y0 + keywordsY + 5, labelW, 20);
    for (int type = ColorTypeFill; type <= ColorTypeText; ++type)
        getColorLabel(type)->setGeometry(labelX, y0 + pickerY + 9 + 22 * (type - 1), labelW, 20);
}

void wEditObj::doLayout()
{
    layoutEditor();
}

void wEditObj::closeEvent(QEvent* event)
{
    saveToModel();
    event->accept();
}

void wEditObj::closeThroughRegistry()
{
    // Only the registry's open editor closes through it; any other would close that one.
    tlUi* ui = getUi();
    if (ui && tlUi::ourEditor == this)
        ui->clearEditor();
}

bool wEditObj::event(QEvent* event)
{
    return uiText::keepEditingKey(focusWidget(), event) || wEdit::event(event);
}

void wEditObj::mousePressEvent(QMouseEvent* event)
{
    QPoint const at = event->position().toPoint();
    M_TRACE("%i %i\n", at.x(), at.y());
    // Fill, then Text, then Line.
    for (int type : {ColorTypeFill, ColorTypeText, ColorTypeLine})
        if (getColorLabel(type)->geometry().contains(at)) {
            setColorType(type);
            break;
        }
    event->accept();
}

void wEditObj::keyPressEvent(QKeyEvent* event)
{
    int const key = event->key();
    // A one-line field leaves Return to its window; the notes keep theirs for new lines.
    bool const returnInLine =
        (key == Qt::Key_Return || key == Qt::Key_Enter) && qobject_cast<QLineEdit*>(focusWidget());
    if ((key == Qt::Key_Space && hasFocus()) || key == Qt::Key_Escape || returnInLine) {
        // Closing saves what was typed, as leaving the editor does.
        closeThroughRegistry();
        event->accept();
        return;
    }
    // The first letter typed into an editor just opened, before any field has the keyboard,
    // starts the title, as if the field had been clicked: nothing typed is lost.
    bool const printable =
        !event->text().isEmpty() && event->text().front().isPrint() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (hasFocus() && printable) {
        myTitleEdit->setFocus(Qt::OtherFocusReason);
        QCoreApplication::sendEvent(myTitleEdit, event);
        return;
    }
    // Ctrl+A in an editor just opened selects the title's text: in an editor the key is about
    // text, never the document's selection.
    if (hasFocus() && event->matches(QKeySequence::SelectAll)) {
        myTitleEdit->setFocus(Qt::OtherFocusReason);
        myTitleEdit->selectAll();
        event->accept();
        return;
    }
    event->ignore();
}

void wEditObj::enterEvent(QEnterEvent*)
{
    myCloseOnLeave = true;
}

void wEditObj::leaveEvent(QEvent*)
{
    if (!myCloseOnLeave)
        return;
    // A context menu or a drop-down list takes the pointer away without the user leaving, and so
    // does a drag that goes on outside the window.
    if (QApplication::activePopupWidget() || QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    if (QWidget* list = dropDownField(); list && focusWidget() == list)
        return;
    closeThroughRegistry();
}
