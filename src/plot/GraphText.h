#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// A title of a graph, or the font and size of one kind of tick label.
struct CGraphText {
    CGraphText(const QString& faceName, int height, int escapement);

    QString text;
    QString faceName;
    int height;          // character cell height in pixels
    int escapement;      // tenths of a degree: 0 horizontal, -900 vertical reading upward
    QFont font;          // built by RebuildFont
    QSize extent{0, 0};  // measured size as placed, width and height exchanged for a turned text
    QRect rect;          // placed rectangle, in widget pixels

    // An owner that changes height, faceName or escapement calls this.
    void RebuildFont();
    bool IsTurned() const { return escapement != 0; }
    // The size of text in this font as placed; an empty text is one line high.
    QSize Measure(const QString& text) const;
    // Draws text in this font and escapement, centred in box.
    void DrawCentred(QPainter& painter, const QString& text, const QRect& box) const;
};
