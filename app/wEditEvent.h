#pragma once

#include "wEditObj.h"

class QComboBox;
class mEvent;

// The pop-up editor of one event: besides what every editor shows, its amount and units and a
// list of its colour style ("Custom": its own colours, "By Layer": its layer's). Choosing a style
// or picking a colour reaches the event at once (a picked colour makes the style "Custom"); the
// texts reach it when the editor is saved. Never scheduled: it keeps the default refresh.
class wEditEvent : public wEditObj
{
    Q_OBJECT

public:
    // The event and its rectangle in global screen coordinates. Unless noFocus, the editor
    // takes the keyboard.
    wEditEvent(Obh ev, int x, int y, int w, int h, bool noFocus);
    ~wEditEvent() override;

    // Loads every field from the event.
    void setHdl(Obh ev);
    void layoutEditor() override;
    // Writes the texts that differ from the event's.
    void saveToModel() override;

    QLineEdit* getAmountEdit() const { return myAmountEdit; }
    QLineEdit* getUnitsEdit() const { return myUnitsEdit; }
    QComboBox* getColorStyleBox() const { return myColorStyleBox; }

public Q_SLOTS:
    // The list's current item changed: the event takes that colour style.
    virtual void colorStyleChanged(int index);

protected:
    bool readColor(int type, Rgba& c) const override;
    bool writeColor(int type, Rgba const& c) override;
    uint32_t colorDirt() const override;
    QWidget* dropDownField() const override;

private:
    mEvent* editedEvent() const;
    // Shows the style without announcing it.
    void showColorStyle(int style);

    QLineEdit* myAmountEdit = nullptr;
    QLineEdit* myUnitsEdit = nullptr;
    QComboBox* myColorStyleBox = nullptr;
    QLabel* myAmountLabel = nullptr;
    QLabel* myUnitsLabel = nullptr;
    QLabel* myColorLabel = nullptr;
};
