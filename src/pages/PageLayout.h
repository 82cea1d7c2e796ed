#pragma once

#include <QRect>
#include <QString>

// What a template caption declares.
struct Declaration {
    enum class Kind { None, Header, Row };

    Kind kind = Kind::None;
    // Header
    QString level;
    QString title;
    // Row
    QString symbol;
    int mode = 0;         // CCtrlMode: In, Usr, Cal, Pic
    int precision = 0;    // decimals shown
    QString description;  // "*" stands for the symbol's own description
};

// Splits a caption at commas (empty fields dropped) and reads it as a
// header "h,LEVEL,TITLE", a row "SYMBOL,MODE,PRECISION,DESCRIPTION" or
// "SYMBOL,MODE,DESCRIPTION", or nothing.
Declaration ParseCaption(const QString& caption);

// The controls of one row and where they go, in page pixels.
struct RowPlan {
    enum class Value { None, EnumCombo, InputEdit, ProposalEditAndCombo, ResultEdit, Picture };

    Value value = Value::None;
    QRect label;
    QRect editRect;
    QRect comboRect;
    QRect unit;
    QRect picture;
};

// Lays a row out in the rectangle of its declaring static. Columns are
// measured from the right edge; edits and units are inset to the height of
// the base font, whose (negative) height is fontHeight. The column offsets
// are pixels of the classic 8-point dialog font; pixelScale stretches them
// for the font in use, so that wider fonts keep the same proportions.
RowPlan PlanRow(int mode, bool isEnumeration, const QRect& declared, int fontHeight, double pixelScale = 1.0);
