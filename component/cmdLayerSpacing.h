#pragma once

#include "tlCmd.h"

// The layer-spacing commands: each gives the layers to act on (the selected ones, else all) a new
// top padding from their current one and the height of one pixel in row units, then the layers
// are stacked again. "Zero Spacing" makes the layers overlap by a pixel (the padding "Make
// Smaller" stops at), "Reset Spacing" gives ten pixels; "Make Bigger" and "Make Smaller" step by a
// tenth of the padding, a pixel at least.
class cmdLayerSpacing : public tlCmd
{
public:
    // The new padding from the padding and one pixel.
    using Rule = float (*)(float padding, float onePx);

    explicit cmdLayerSpacing(Rule rule);
    // Active when there are layers to act on.
    bool isActiveTest() const override;
    // False, changing nothing, without layers to act on.
    bool cmdAction() override;

    static float zero(float padding, float onePx);
    static float normal(float padding, float onePx);
    static float more(float padding, float onePx);
    static float less(float padding, float onePx);

private:
    Rule myRule;
};
