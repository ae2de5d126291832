#pragma once
// TFont: the canvas font with the framework's units.
//
//  - Height < 0 is the character height in pixels (Height -11 draws with pixel size 11);
//    Height > 0 is the cell height (ascent + descent); 0 means the default height.
//  - Size is in points at PixelsPerInch: Size = -MulDiv(Height, 72, PixelsPerInch), and
//    setting Size sets Height = -MulDiv(Size, PixelsPerInch, 72) (Size 8 gives Height -11).
//  - Orientation is the rotation of the baseline in tenths of a degree, counter-clockwise.
//  - Face names of the original platform's dialog fonts ("MS Sans Serif", "MS Shell Dlg")
//    draw with the default sans-serif face; other unknown faces are left to fontconfig.
#include "platform/vcl/Colors.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <initializer_list>

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of TFontStyle values.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> styles)
    {
        for (TFontStyle s : styles)
            m_bits |= Bit(s);
    }

    constexpr bool Contains(TFontStyle s) const { return (m_bits & Bit(s)) != 0; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr void Include(TFontStyle s) { m_bits |= Bit(s); }
    constexpr void Exclude(TFontStyle s) { m_bits &= ~Bit(s); }
    constexpr void Set(TFontStyle s, bool on) { on ? Include(s) : Exclude(s); }

    constexpr TFontStyles operator+(TFontStyles o) const { return FromBits(m_bits | o.m_bits); }
    constexpr TFontStyles operator-(TFontStyles o) const { return FromBits(m_bits & ~o.m_bits); }
    constexpr TFontStyles operator*(TFontStyles o) const { return FromBits(m_bits & o.m_bits); }
    constexpr bool operator==(const TFontStyles&) const = default;

private:
    static constexpr std::uint8_t Bit(TFontStyle s) { return std::uint8_t(1u << unsigned(s)); }
    static constexpr TFontStyles FromBits(unsigned bits)
    {
        TFontStyles r;
        r.m_bits = std::uint8_t(bits);
        return r;
    }
    std::uint8_t m_bits = 0;
};

class TFont {
public:
    // "MS Sans Serif", Size 8, clWindowText, no style, not rotated, 96 pixels per inch.
    TFont();

    QString Name;
    TFontStyles Style;
    TColor Color;
    int Orientation = 0;

    int Height() const { return m_height; }
    void SetHeight(int height) { m_height = height; }
    int Size() const;
    void SetSize(int points);
    int PixelsPerInch() const { return m_pixelsPerInch; }
    // Keeps Height; Size is read at the new resolution.
    void SetPixelsPerInch(int ppi) { m_pixelsPerInch = ppi > 0 ? ppi : 96; }

    void Assign(const TFont& other) { *this = other; }
    bool operator==(const TFont&) const = default;

    // The font as Qt draws it: the mapped face, the pixel size of Height, the styles.
    // Orientation is the drawer's business (QFont has no rotation).
    QFont ToQFont() const;
    // The Qt face name that Name draws with.
    static QString MapFaceName(const QString& name);

private:
    int m_height;
    int m_pixelsPerInch = 96;
};

// Windows' MulDiv: a * b / c rounded half away from zero, computed in 64 bits; -1 when c is 0.
int MulDiv(int a, int b, int c);
