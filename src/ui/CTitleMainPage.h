#pragma once

#include "ui/CDrawGradient.h"
#include "ui/CTitleDraw.h"

// The page title of the preferences pages: a left-to-right gradient over the whole box, the text,
// and a rule along the bottom edge.
class CTitleMainPage : public CTitleDraw, public CDrawGradient
{
public:
    CTitleMainPage();
    ~CTitleMainPage() override;

protected:
    void DrawBackground() override;
};
