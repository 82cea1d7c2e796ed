#pragma once

#include <map>
#include <vector>

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QString>

class CDesignModel;
class QPainter;

// A text the program writes onto a picture, placed in the picture's own
// coordinates (its viewBox), so that it scales with the drawing.
struct PictureText {
    QPointF point;  // where the baseline starts, ends or is centred
    Qt::Alignment alignment = Qt::AlignLeft;
    double fontSize = 12;  // in viewBox units
    QString text;
};

// The value anchors a drawing names: every empty <text id="value-NAME">, by
// NAME (a designator), with its position, size and text-anchor.
std::map<QString, PictureText> ReadValueAnchors(const QByteArray& svg);

// Each part's value at its designator's anchor: the standard value where the
// part's class has a series, else the value in force, with an engineering
// prefix ("4.12 kΩ"). Parts without an anchor are left out.
std::vector<PictureText> SchematicValueTexts(CDesignModel& model, const std::map<QString, PictureText>& anchors);

// The schematic's value anchors, read from the drawing the program shows.
std::map<QString, PictureText> SchematicValueAnchors();

// Draws the texts over a picture whose viewBox is drawn into target, in the
// picture's blue for what it did not draw itself (its ground is white in any palette).
void PaintPictureTexts(QPainter& painter, const QRectF& target, const QRectF& viewBox,
                       const std::vector<PictureText>& texts);
