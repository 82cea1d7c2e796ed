#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "present/Geometry.h"

// The design page templates: Qt Designer files carried with the program,
// read without Qt so that every front end lays a page out the same way.
namespace qxr {

// One control of a page template: its class, name, caption (UTF-8) and
// rectangle in dialog units.
struct TemplateControl {
    std::string className;
    std::string name;
    std::string text;
    Rect rect;
    bool visible = true;
    bool readOnly = false;
    bool alignRight = false;
};

struct PageTemplate {
    Size size;  // dialog units
    std::vector<TemplateControl> controls;
};

// Template `id` ("templates/<id>.ui"); nothing when it is missing or malformed.
std::optional<PageTemplate> LoadPageTemplate(int id);
std::optional<PageTemplate> ParsePageTemplate(std::string_view uiXml);

// Dialog units of a font: x in quarters of its average character width, y
// in eighths of its character height.
class DialogUnits {
public:
    DialogUnits(int averageCharWidth, int charHeight) : baseX_(averageCharWidth), baseY_(charHeight) {}

    Rect ToPixels(const Rect& dialogRect) const;
    Size ToPixels(const Size& dialogSize) const;
    // Pixels of this font for one pixel of the classic 8-point dialog font,
    // whose average character is 6 pixels wide.
    double PixelScale() const { return baseX_ / 6.0; }

private:
    int X(int units) const { return (units * baseX_ + 2) / 4; }
    int Y(int units) const { return (units * baseY_ + 4) / 8; }

    int baseX_;
    int baseY_;
};

}  // namespace qxr
