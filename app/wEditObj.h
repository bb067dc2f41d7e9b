#pragma once

#include "Obh.h"
#include "aRefreshable.h"
#include "str.h"
#include "uiText.h"
#include "wEdit.h"

#include <QFont>

#include <array>
#include <cstdint>
#include <cstring>

class ObObj;
class QEnterEvent;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QTextEdit;
class aTs;
class uiColor;
class uiStamp;

// What the pop-up editors of an event and of a layer share: the heading, the start and end
// stamps, the title, keywords and notes fields, the colour picker with the labels "Fill", "Line"
// and "Text" that choose which of the object's three colours it edits, and the ways the editor
// closes (Space while the editor has the keyboard, Escape, Return in a one-line field, the
// pointer leaving after it entered).
//
// Colour edits reach the object at once; the texts when the editor is saved. Only what the user
// changed is written, and every change raises DirtUserEditedAttrs: opening and closing an editor
// writes nothing. Before writing, the editor resolves its object again and writes nothing when
// the object is gone; the registry closes, unsaved, an editor whose object goes.
class wEditObj : public wEdit, public aRefreshable
{
    Q_OBJECT

public:
    enum ColorType
    {
        ColorTypeFill = 1,
        ColorTypeLine = 2,
        ColorTypeText = 3
    };
    // Red, green, blue, alpha, 0 to 255 each.
    using Rgba = std::array<int, 4>;

    ~wEditObj() override;

    Obh getHdl() const { return myHdl; }
    // Whether the editor edits this object.
    bool edits(ObObj const* obj) const;
    // The object is going (or its document): from now on the editor writes nothing.
    void forgetObject();
    // The heading.
    virtual void setTitle(char const* title);
    // Which colour the picker edits (ColorType): the picker shows it and its label is lit. The
    // object is not changed.
    void setColorType(int type);
    int getColorType() const { return myColorType; }
    // Places the widgets in the content rectangle.
    virtual void layoutEditor() = 0;
    void doLayout() override;

    // Not Qt's close handler, which nothing here replaces: saves and accepts the event.
    using QWidget::closeEvent;
    virtual void closeEvent(QEvent* event);

    QLineEdit* getTitleEdit() const { return myTitleEdit; }
    QLineEdit* getKeywordsEdit() const { return myKeywordsEdit; }
    QTextEdit* getNotesEdit() const { return myNotesEdit; }
    uiColor* getColorPicker() const { return myColorPicker; }
    uiStamp* getStartStamp() const { return myStartStamp; }
    uiStamp* getEndStamp() const { return myEndStamp; }
    QLabel* getColorLabel(int type) const;

public Q_SLOTS:
    // The picker's colour was edited: it goes into the object's colour of the current type.
    void colorChangedCb(float h, float s, float v, float a) override;

protected:
    wEditObj(Obh hdl, int selX, int selY, int selW, int selH, bool noFocus);

    // The edited object, or null when it is gone or the handle names another object now.
    ObObj* object() const;
    // Loads the shared fields; the picker shows the fill colour.
    void loadShared(rtl::str const& title, rtl::str const& keywords, rtl::str const& notes,
                    aTs& start, aTs& end);
    // Places the shared widgets, with the keywords row and the picker at these heights below the
    // content's top (the notes fill what lies below the picker).
    void layoutShared(int keywordsY, int pickerY);
    // The object's colour of a type; false when the object is gone.
    virtual bool readColor(int type, Rgba& c) const = 0;
    // Writes a colour the user picked; whether anything changed. The dirt is raised by the caller.
    virtual bool writeColor(int type, Rgba const& c) = 0;
    // The dirt id that makes the views draw the object's new colours.
    virtual uint32_t colorDirt() const = 0;
    // The field whose drop-down list may take the pointer outside the editor, if any.
    virtual QWidget* dropDownField() const { return nullptr; }

    // After a change to the object: the id (unless 0) and DirtUserEditedAttrs, and a refresh pass.
    void edited(uint32_t id) const;
    void closeThroughRegistry();
    QLabel* addLabel(char const* text);

    // A field keeps its editing keys (Ctrl+A selects its text), though the document has a
    // command on the same key.
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Space while the editor itself has the keyboard closes it, and so do Escape, and Return in
    // a one-line field; each saves first. Any other character typed while the editor itself has
    // the keyboard goes into the title field, which takes the keyboard; Ctrl+A takes it there too
    // and selects the title's text. Everything else goes to the field.
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

    // A record's colour of a type, through its colour attributes (those of events and layers).
    template <class R> static void readRecordColor(R const& r, int type, Rgba& c);
    template <class R> static bool writeRecordColor(R& r, int type, Rgba const& c);
    // Stores a field's text when it differs from the record's; whether it did.
    template <class R> static bool storeText(R& r, rtl::str (R::*get)() const,
                                             bool (R::*set)(rtl::str), QString const& text);

    Obh myHdl;
    // The object the handle named when the editor was opened.
    ObObj* myObj = nullptr;
    bool myCloseOnLeave = false;
    QFont myLabelFont;
    QFont myHeadingFont;
    uiStamp* myStartStamp = nullptr;
    uiStamp* myEndStamp = nullptr;
    QLineEdit* myTitleEdit = nullptr;
    QLineEdit* myKeywordsEdit = nullptr;
    uiColor* myColorPicker = nullptr;
    QTextEdit* myNotesEdit = nullptr;
    QLabel* myWhatLabel = nullptr;
    QLabel* myStartLabel = nullptr;
    QLabel* myEndLabel = nullptr;
    QLabel* myTitleLabel = nullptr;
    QLabel* myKeywordsLabel = nullptr;
    QLabel* myFillLabel = nullptr;
    QLabel* myLineLabel = nullptr;
    QLabel* myTextLabel = nullptr;
    int myColorType = ColorTypeFill;

private:
    // The colour labels, lit for the current type.
    void showColorType();
};

template <class R> void wEditObj::readRecordColor(R const& r, int type, Rgba& c)
{
    using Get = int (R::*)() const;
    static constexpr Get gets[3][4] = {
        {&R::getBgColorR, &R::getBgColorG, &R::getBgColorB, &R::getBgColorA},
        {&R::getLineColorR, &R::getLineColorG, &R::getLineColorB, &R::getLineColorA},
        {&R::getTextColorR, &R::getTextColorG, &R::getTextColorB, &R::getTextColorA},
    };
    for (size_t k = 0; k < c.size(); ++k)
        c[k] = (r.*gets[type - 1][k])();
}

template <class R> bool wEditObj::writeRecordColor(R& r, int type, Rgba const& c)
{
    using Set = bool (R::*)(int);
    static constexpr Set sets[3][4] = {
        {&R::setBgColorR, &R::setBgColorG, &R::setBgColorB, &R::setBgColorA},
        {&R::setLineColorR, &R::setLineColorG, &R::setLineColorB, &R::setLineColorA},
        {&R::setTextColorR, &R::setTextColorG, &R::setTextColorB, &R::setTextColorA},
    };
    Rgba was {};
    readRecordColor(r, type, was);
    if (was == c)
        return false;
    for (size_t k = 0; k < c.size(); ++k)
        (r.*sets[type - 1][k])(c[k]);
    return true;
}

template <class R> bool wEditObj::storeText(R& r, rtl::str (R::*get)() const,
                                            bool (R::*set)(rtl::str), QString const& text)
{
    rtl::str const value = uiText::toModel(text);
    if (std::strcmp((r.*get)().c(), value.c()) == 0)
        return false;
    return (r.*set)(value);
}
