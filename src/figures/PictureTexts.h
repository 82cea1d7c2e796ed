#pragma once

#include <vector>

#include <QByteArray>
#include <QRectF>

#include "present/SchematicTexts.h"

class QPainter;

// A picture's drawing as Qt reads it; empty when there is none.
QByteArray PictureData(int id);

// Draws the texts over a picture whose viewBox is drawn into target, in the
// picture's blue for what it did not draw itself (its ground is white in any palette).
void PaintPictureTexts(QPainter& painter, const QRectF& target, const QRectF& viewBox,
                       const std::vector<qxr::PictureText>& texts);
