#include "controls/Gradient.h"

void TGradientStyle::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TGradientStyle::setColorFrom(TColor c)
{
    m_colorFrom = c;
    Changed();
}

void TGradientStyle::setColorTo(TColor c)
{
    m_colorTo = c;
    Changed();
}

void TGradientStyle::setBorderColor(TColor c)
{
    m_borderColor = c;
    Changed();
}

void TGradientStyle::setDirection(bool leftToRight)
{
    m_direction = leftToRight;
    Changed();
}

void TGradientStyle::Assign(const TGradientStyle& other)
{
    m_borderColor = other.m_borderColor;
    m_colorTo = other.m_colorTo;
    m_colorFrom = other.m_colorFrom;
    Changed();
}
