#pragma once

#include "wEditObj.h"

class mLayer;

// The pop-up editor of one layer: its title, keywords, notes and colours, with the time its
// events span. Picked colours reach the layer at once; the texts when the editor is saved. Never
// scheduled: it keeps the default refresh.
class wEditLayer : public wEditObj
{
    Q_OBJECT

public:
    // The layer and its rectangle in global screen coordinates. Unless noFocus, the editor takes
    // the keyboard.
    wEditLayer(Obh layer, int x, int y, int w, int h, bool noFocus);
    ~wEditLayer() override;

    // Loads every field from the layer; the stamps show the earliest start and the latest end of
    // its events (both time 0 without events).
    void setHdl(Obh layer);
    void layoutEditor() override;
    // Writes the texts that differ from the layer's.
    void saveToModel() override;

protected:
    bool readColor(int type, Rgba& c) const override;
    bool writeColor(int type, Rgba const& c) override;
    uint32_t colorDirt() const override;

private:
    mLayer* editedLayer() const;
};
