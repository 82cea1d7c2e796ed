#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "present/Geometry.h"

// What the captions of a page template declare, and where a declared row's
// controls go. Texts are UTF-8.
namespace qxr {

struct Declaration {
    enum class Kind { None, Header, Row };

    Kind kind = Kind::None;
    // Header
    std::string level;
    std::string title;
    // Row
    std::string symbol;
    int mode = 0;             // CCtrlMode: In, Usr, Cal, Pic
    int precision = 0;        // decimals shown
    std::string description;  // "*" stands for the symbol's own description
};

// Splits a caption at commas (empty fields dropped) and reads it as a
// header "h,LEVEL,TITLE", a row "SYMBOL,MODE,PRECISION,DESCRIPTION" or
// "SYMBOL,MODE,DESCRIPTION", or nothing.
Declaration ParseCaption(std::string_view caption);

// The captions of a page's template that declare headers and rows, in
// template order; nothing when the template is missing.
std::vector<Declaration> PageDeclarations(int templateId);

// The controls of one row and where they go, in page pixels.
struct RowPlan {
    enum class Value { None, EnumCombo, InputEdit, ProposalEditAndCombo, ResultEdit, Picture };

    Value value = Value::None;
    Rect label;
    Rect editRect;
    Rect comboRect;
    Rect unit;
    Rect picture;
};

// Lays a row out in the rectangle of its declaring static. Columns are
// measured from the right edge; edits and units are inset to the height of
// the base font, whose (negative) height is fontHeight. The column offsets
// are pixels of the classic 8-point dialog font; pixelScale stretches them
// for the font in use, so that wider fonts keep the same proportions.
RowPlan PlanRow(int mode, bool isEnumeration, const Rect& declared, int fontHeight, double pixelScale = 1.0);

}  // namespace qxr
