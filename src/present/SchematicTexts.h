#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/DesignModel.h"

// The values the program writes onto the schematic, placed in the drawing's
// own coordinates (its viewBox) so that they scale with it.
namespace qxr {

// The schematic of the analog controller.
inline constexpr int kAnalogSchematic = 311;
// The drawing of a picture ("pictures/<id>.svg"); empty when there is none.
std::string_view PictureBytes(int id);

enum class TextAnchor { Start, Middle, End };

struct PictureText {
    double x = 0, y = 0;  // where the baseline starts, is centred or ends
    TextAnchor anchor = TextAnchor::Start;
    double fontSize = 12;  // in viewBox units
    std::string text;      // UTF-8
};

// The value anchors a drawing names: every empty <text id="value-NAME">, by
// NAME (a designator), with its position, size and text-anchor.
std::map<std::string, PictureText> ReadValueAnchors(std::string_view svg);
// The schematic's value anchors.
std::map<std::string, PictureText> SchematicValueAnchors();

// Each part's value at its designator's anchor: the standard value where the
// part's class has a series, else the value in force, with an engineering
// prefix ("4.12 kΩ"). Parts without an anchor are left out.
std::vector<PictureText> SchematicValueTexts(CDesignModel& model, const std::map<std::string, PictureText>& anchors);

}  // namespace qxr
