#pragma once
// TjvAirBrush: the air brush of the drawing component's "airbrush" tool. The component owns
// one; its spraying comes with the drawing tools.
#include "platform/vcl/Colors.h"

#include <QObject>

class TjvAirBrush : public QObject {
    Q_OBJECT
public:
    explicit TjvAirBrush(QObject* owner = nullptr) : QObject(owner) {}

    TColor Color = clBlack;
    int Size = 40;
    int Intensity = 10;
};
