#pragma once

#include "uiWin.h"

#include <QFont>

class uiHs;
class uiOpacity;
class uiSwatch;
class uiVal;

// The editors' colour picker: one colour with its opacity, held as hue, saturation, value and
// opacity (each 0 to 1, the hue a fraction of a full turn), shown and edited in a hue and
// saturation wheel, a value bar, an opacity bar, a swatch of the current colour and a swatch of
// the last colour; clicking a swatch takes its colour back. Every change, by the user or by a
// caller, is announced once through colorChanged with the whole colour.
//
// An 8-bit colour given with setColor reads back unchanged through getColor until it is edited.
// The picker draws nothing of its own.
class uiColor : public uiWin
{
    Q_OBJECT

public:
    uiColor(QWidget* parent, float h, float s, float v, float a, int fontSize);
    ~uiColor() override;

    void setColor(float h, float s, float v, float a);
    // Components 0 to 255.
    void setColor(int r, int g, int b, int a);
    void getColor(int& r, int& g, int& b, int& a) const;
    void getColor(float& h, float& s, float& v, float& a) const;
    // Shows the current colour in the last-colour swatch. The arguments are not used: callers
    // pass what they have just given to setColor.
    void setLastColor(float, float, float, float);

    uiHs* getHsField() const { return myHs; }
    uiVal* getValueBar() const { return myVal; }
    uiOpacity* getOpacityBar() const { return myOpacity; }
    uiSwatch* getSwatch() const { return mySwatch; }
    uiSwatch* getLastSwatch() const { return myLastSwatch; }

    void doLayout() override;

public Q_SLOTS:
    void hsChangedCb(uiHs* ui, float h, float s);
    void valChangedCb(uiVal* ui, float v);
    void opacityChangedCb(uiOpacity* ui, float a);
    void lastSwatchClickedCb(uiSwatch* ui, float h, float s, float v, float a);
    void swatchClickedCb(uiSwatch* ui, float h, float s, float v, float a);

Q_SIGNALS:
    void colorChanged(float h, float s, float v, float a);

private:
    // After an edit in the field or the value bar: the opacity bar and the swatch show the whole
    // colour, and it is announced.
    void showEdit();

    float myH, myS, myV, myA;
    QFont myFont;
    uiHs* myHs;
    uiVal* myVal;
    uiOpacity* myOpacity;
    uiSwatch* myLastSwatch;
    uiSwatch* mySwatch;
};
