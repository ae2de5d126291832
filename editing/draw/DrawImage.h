#pragma once
// TpelDrawImage: a picture control that turns mouse input into drawing on its own picture,
// and carries the paint effects that the painter effects dialog previews and applies.
//
// Each component keeps its own drag state and its own painter effects dialog (made by the
// constructor, freed by the destructor), so two components never share either.
//
// Effect routines: one per effect number of the dialog's tree (RunEffect dispatches through
// a table). Each refreshes WorkBitmap from the picture, 24 bits, runs its filter of PaintFX
// on it with the dialog's bar positions, and shows the result in the dialog's Image.
#include "editing/brush/ShapeGeometry.h"
#include "editing/draw/Image.h"
#include "editing/paintfx/PaintFX.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class TjvAirBrush;
class TPainterEffectsF;

using TColorPicked = std::function<void(QObject* sender, TColor Acolor)>;

// The view of a 24-bit bitmap for the effect library (the bitmap is made 24 bits first).
TFxBitmap FxView(TBitmap& bitmap);

class TpelDrawImage : public TImage, public ILoaded {
    Q_OBJECT
    Q_PROPERTY(QString Shape READ Shape WRITE setShape)
    Q_PROPERTY(bool polygonchecked READ polygonchecked WRITE setpolygonchecked)
    Q_PROPERTY(int stars READ stars WRITE setstars)
    Q_PROPERTY(int starpoints READ starpoints WRITE setstarpoints)
    Q_PROPERTY(int blocks READ blocks WRITE setblocks)
    Q_PROPERTY(int spirals READ spirals WRITE setspirals)
public:
    explicit TpelDrawImage(QWidget* owner = nullptr);
    ~TpelDrawImage() override;

    // After the component is read from a form description: AutoSize on, a white 256 x 256
    // picture, a clear brush and a black pen.
    void Loaded() override;

    QString Shape() const { return m_shape; }
    // A new tool ends what the old one left pending between events: the figure a polygon,
    // polyline or polybezier was collecting (the mouse no longer drags for the new tool), and
    // the pen width and brush style a range snapshot borrowed during its drag.
    void setShape(const QString& v);
    bool polygonchecked() const { return m_polygonchecked; }
    void setpolygonchecked(bool v) { m_polygonchecked = v; }
    int stars() const { return m_stars; }
    void setstars(int v) { m_stars = v; }
    int starpoints() const { return m_starpoints; }
    void setstarpoints(int v) { m_starpoints = v; }
    int blocks() const { return m_blocks; }
    void setblocks(int v) { m_blocks = v; }
    int spirals() const { return m_spirals; }
    void setspirals(int v) { m_spirals = v; }
    TColorPicked onColorPicked;

    // Raises onColorPicked with (this, color) when a handler is set.
    void DoColorPicked(TColor color);

    // Entry i = round(sin(i / 255 * pi / 2) * 255): 0 stays 0, 255 stays 255, mid-tones rise.
    std::array<std::uint8_t, 256> SineCurve{};
    QStringList ToolNames;
    TBitmap WorkBitmap;
    TBitmap ZoomBitmap;
    std::unique_ptr<TjvAirBrush> AirBrush;  // the air brush of the "airbrush" tool
    TpelPaintFX PaintFX;
    TPainterEffectsF* PainterEffectsDialog() const { return m_dialog.get(); }

    // The drag state of the drawing tools.
    struct TDragState {
        TPoint StartPoint, LastPoint, AnchorPoint;
        bool MouseIsDown = false;
        QString SlineAxis = "none";
        int SlineThreshold = 5;
        int RoundRectRadius = 10;
        int SpiroTurns = 40;
        int SpiralStepAngle = 1;
        double SpiralShrink = 0.99;
        TColor TransferColor = clWhite;
        TRect ZoomRect{0, 0, 50, 50};
        TRect RangeRect{0, 0, 256, 256};
        TCopyMode RangeCopyMode = cmSrcCopy;
        // The canvas state captured by the mouse handlers: the pen mode at every event, the
        // pen and brush colours at the press, brush style and pen width around "snapshot".
        TPenMode SavedPenMode = pmCopy;
        TColor SavedPenColor = clBlack;
        TColor SavedBrushColor = clWhite;
        TBrushStyle SavedBrushStyle = bsClear;
        int SavedPenWidth = 1;
        // "snapshot" holds the pen width and brush style above from its press to its release.
        bool SnapshotBorrowed = false;
        // The curve of "bezier" and "polybezier" (end, control, control, end); the control
        // points "polybezier" keeps fixed until the right button clears them.
        std::array<TPoint, 4> BezierPoints{};
        bool BezierFixed1 = false;
        bool BezierFixed2 = false;
        // Corners of "triangle", "skewrect" and "cube" (point 4: the cube's depth point).
        std::array<TPoint, 5> ShapePoints{};
        // Bounding corners and the two radial points of "chord", "arc" and "pie".
        std::array<TPoint, 4> ArcPoints{};
        // Vertices of the star and symmetry figures.
        TStarPoints StarPoints{};
        // Vertices of "polygon" and "polyline".
        std::array<TPoint, 101> PolyPoints{};
        int PolyCount = 0;
        // Where the last patch brush drew over the snapshot (the next move restores it).
        TRect BrushPatch;
    } Drag;

    // --- work bitmaps of the tools ---------------------------------------------------------
    // RangeRect := the whole picture (inclusive corners), RangeCopyMode := source copy, and
    // WorkBitmap := a copy of the picture.
    void SnapshotPicture();
    // WorkBitmap sized to RangeRect (inclusive corners) and filled with color.
    void ClearWorkBitmap(TColor color);
    // WorkBitmap sized to RangeRect and loaded with that part of the canvas by RangeCopyMode,
    // 24 bits per pixel.
    void CopyRangeToWorkBitmap();
    // ZoomBitmap := the picture at 24 bits.
    void CopyPictureToZoomBitmap();
    // WorkBitmap sized to r (inclusive corners), in the picture's pixel format, loaded with
    // that part of the canvas by source copy.
    void CopyCloneArea(const TRect& r);
    // Adds the mouse step (x, y) - LastPoint to StartPoint.
    void MoveStartPoint(int x, int y);

    // Tool dispatch of the mouse (the tools answer to Shape); the component's own mouse events
    // are not raised.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The right button: ends a polygon, polyline or polybezier, and sets AnchorPoint.
    void RightClick(int x, int y, TShiftState shift);

    // --- effects -------------------------------------------------------------------------
    // Runs effect number (0-54) with the dialog's bars; false for a number without a routine.
    bool RunEffect(int number);
    // The effect numbers that have a routine, in number order.
    static QList<int> EffectNumbers();

    void ApplySineCurve(int count);
    // Blends the clipboard's picture into WorkBitmap by percent / 100 and shows the result,
    // when the clipboard holds a picture of WorkBitmap's size; otherwise nothing happens.
    void BlendWithClipboard(int percent);
    void SkewPicture(int amount);
    // Lightness, then saturation on the brightened pixels, then contrast.
    void AdjustBrightnessColorContrast(int brightness, int saturation, int contrast);
    // Shows the dialog modally, with the brightness panel (adjustPanel) or the effect panel.
    void ShowEffectsDialog(bool adjustPanel);
    // Shows the dialog modally with the automatic improvement already applied for review.
    void AutoImprovePicture();

    // WorkBitmap := the picture, 24 bits.
    void RefreshWorkBitmap();
    // The dialog's Image takes WorkBitmap and repaints.
    void ShowWorkBitmap();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void PrepareDialogBars();
    int EBarPosition() const;

    QString m_shape = "line";
    bool m_polygonchecked = false;
    int m_stars = 1;
    int m_starpoints = 5;
    int m_blocks = 32;
    int m_spirals = 3;
    std::unique_ptr<TPainterEffectsF> m_dialog;
};
