#pragma once

#include "ui/CDrawGradient.h"
#include "ui/CTitleDraw.h"

// A title whose strip runs from the first gradient colour at the top to the second at the bottom;
// in accessibility mode a plain strip in the title fill colour framed in the button-highlight colour.
class CTitleDrawGradient : public CTitleDraw, public CDrawGradient
{
public:
    CTitleDrawGradient();
    ~CTitleDrawGradient() override;

protected:
    void DrawBackground() override;
    // The strip as the gradient variant paints it (shared with the bitmap title).
    void DrawGradientStrip();
};
