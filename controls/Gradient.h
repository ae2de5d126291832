#pragma once
// TGradientStyle: the selection colours of the HTML lists. ColorTo clNone means a plain fill
// in ColorFrom; otherwise the selection runs from ColorFrom to ColorTo (left to right when
// Direction is true, else top to bottom) inside a BorderColor frame.
#include "platform/vcl/Colors.h"

#include <functional>

class TGradientStyle {
public:
    TColor ColorFrom() const { return m_colorFrom; }
    void setColorFrom(TColor c);
    TColor ColorTo() const { return m_colorTo; }
    void setColorTo(TColor c);
    TColor BorderColor() const { return m_borderColor; }
    void setBorderColor(TColor c);
    bool Direction() const { return m_direction; }
    void setDirection(bool leftToRight);

    // Copies BorderColor, ColorTo and ColorFrom (not Direction) and fires OnChange.
    void Assign(const TGradientStyle& other);

    // Fired by every setter and by Assign.
    std::function<void(TGradientStyle* Sender)> OnChange;

private:
    void Changed();

    TColor m_colorFrom = clHighlight;
    TColor m_colorTo = clNone;
    TColor m_borderColor = clHighlight;
    bool m_direction = false;
};
