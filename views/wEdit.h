#pragma once

#include "tlObj.h"

#include <QWidget>

// Base of the pop-up editors of an event and of a layer: a frameless top-level window that
// stays on top, opened beside the selected item and closed by the component's registry, which
// saves it first through saveToModel.
class wEdit : public QWidget, public tlObj
{
    Q_OBJECT

public:
    // w x h: the content size; (selX, selY, selW, selH): the selected item's rectangle in global
    // screen coordinates.
    wEdit(int w, int h, int selX, int selY, int selW, int selH);
    ~wEdit() override;

    // The content size of both editors.
    static constexpr int ContentW = 275;
    static constexpr int ContentH = 400;

    // Writes the editor's fields back into its model object.
    virtual void saveToModel();
    // The colour picker reports a new colour (hue, saturation, value, alpha in 0..1).
    virtual void colorChangedCb(float h, float s, float v, float a);
    // Places the editor's widgets in its content rectangle.
    virtual void doLayout();
};
