#include "wEditEvent.h"

#include "aTs.h"
#include "mEvent.h"
#include "mTrace.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTextEdit>

wEditEvent::wEditEvent(Obh ev, int x, int y, int w, int h, bool noFocus)
    : wEditObj(ev, x, y, w, h, noFocus)
{
    myAmountEdit = new QLineEdit(this);
    myUnitsEdit = new QLineEdit(this);
    myColorStyleBox = new QComboBox(this);
    myColorStyleBox->addItem("Custom", EventColorIndividual);
    myColorStyleBox->addItem("By Layer", EventColorByLayer);
    myAmountLabel = addLabel("Amount");
    myUnitsLabel = addLabel("Units");
    myColorLabel = addLabel("Color");
    // The keyboard goes down the fields as they stand.
    QWidget* const order[] = {myTitleEdit,    myAmountEdit,    myUnitsEdit,
                              myKeywordsEdit, myColorStyleBox, myNotesEdit};
    for (size_t k = 1; k < std::size(order); ++k)
        setTabOrder(order[k - 1], order[k]);
    layoutEditor();
    connect(myColorStyleBox, &QComboBox::currentIndexChanged, this, &wEditEvent::colorStyleChanged);
    setHdl(ev);
}

wEditEvent::~wEditEvent() = default;

mEvent* wEditEvent::editedEvent() const
{
    return dynamic_cast<mEvent*>(object());
}

void wEditEvent::setHdl(Obh ev)
{
    myHdl = ev;
    myObj = ev.obj();
    mEvent* e = editedEvent();
    if (!e)
        return;
    aTs start(e->getStartTime());
    aTs end(e->getEndTime());
    loadShared(e->getTitle(), e->getKeywords(), e->getNotes(), start, end);
    myAmountEdit->setText(uiText::fromModel(e->getAmount()));
    myUnitsEdit->setText(uiText::fromModel(e->getUnits()));
    showColorStyle(e->getColorStyle());
}

void wEditEvent::showColorStyle(int style)
{
    QSignalBlocker quiet(myColorStyleBox);
    // A style the list does not offer shows no item.
    myColorStyleBox->setCurrentIndex(myColorStyleBox->findData(style));
}

void wEditEvent::layoutEditor()
{
    int const x0 = myInset.x(), y0 = myInset.y();
    int const fieldX = x0 + 75, labelX = x0 + 10, fieldW = myInset.width() - 85;
    int const half = fieldW / 2, halfUp = fieldW - half;
    layoutShared(134, 182);
    myAmountEdit->setGeometry(fieldX, y0 + 110, half, 20);
    myUnitsLabel->setGeometry(fieldX + half + 2, y0 + 115, 36, 20);
    myUnitsEdit->setGeometry(fieldX + half + 44, y0 + 110, halfUp - 44, 20);
    myColorStyleBox->setGeometry(fieldX, y0 + 158, fieldW, 24);
    myAmountLabel->setGeometry(labelX, y0 + 115, 57, 20);
    myColorLabel->setGeometry(labelX, y0 + 163, 57, 20);
}

void wEditEvent::colorStyleChanged(int index)
{
    myColorStyleBox->clearFocus();
    mEvent* e = editedEvent();
    QVariant const data = myColorStyleBox->itemData(index);
    if (!e || !data.isValid())
        return;
    int const style = data.toInt();
    M_TRACE("COLOR STYLE = index = %i, data = %i\n", index, style);
    if (style == e->getColorStyle())
        return;
    e->setColorStyle(style);
    edited(DirtEventColorChanged);
}

bool wEditEvent::readColor(int type, Rgba& c) const
{
    mEvent const* e = editedEvent();
    if (e)
        readRecordColor<mEventData>(*e, type, c);
    return e;
}

bool wEditEvent::writeColor(int type, Rgba const& c)
{
    mEvent* e = editedEvent();
    if (!e)
        return false;
    // A colour picked by hand makes the event draw in its own colours.
    showColorStyle(EventColorIndividual);
    bool const styled = e->getColorStyle() != EventColorIndividual;
    if (styled)
        e->setColorStyle(EventColorIndividual);
    return writeRecordColor<mEventData>(*e, type, c) || styled;
}

uint32_t wEditEvent::colorDirt() const
{
    return DirtEventColorChanged;
}

QWidget* wEditEvent::dropDownField() const
{
    return myColorStyleBox;
}

void wEditEvent::saveToModel()
{
    mEvent* e = editedEvent();
    if (!e)
        return;
    using R = mEventData;
    bool changed = storeText<R>(*e, &R::getTitle, &R::setTitle, myTitleEdit->text());
    changed |= storeText<R>(*e, &R::getAmount, &R::setAmount, myAmountEdit->text());
    changed |= storeText<R>(*e, &R::getUnits, &R::setUnits, myUnitsEdit->text());
    changed |= storeText<R>(*e, &R::getKeywords, &R::setKeywords, myKeywordsEdit->text());
    changed |= storeText<R>(*e, &R::getNotes, &R::setNotes, myNotesEdit->toPlainText());
    if (changed)
        edited(0);
}
