#pragma once

#include <optional>
#include <vector>

#include <QFontMetrics>
#include <QRect>
#include <QSize>
#include <QString>

// One control of a page template: its class, name, caption and rectangle
// in dialog units.
struct TemplateControl {
    QString className;
    QString name;
    QString text;
    QRect rect;
    bool visible = true;
    bool readOnly = false;
    bool alignRight = false;
};

// A design page template, read from its Qt Designer file in the resources.
struct PageTemplate {
    QSize size;  // dialog units
    std::vector<TemplateControl> controls;
};

// Reads template `id` from ":/templates/<id>.ui"; nothing when it is missing or malformed.
std::optional<PageTemplate> LoadPageTemplate(int id);
std::optional<PageTemplate> ParsePageTemplate(const QByteArray& uiXml);

// Dialog units of a font: x in quarters of its average character width, y
// in eighths of its character height.
class DialogUnits {
public:
    explicit DialogUnits(const QFontMetrics& metrics);
    DialogUnits(int averageCharWidth, int charHeight) : baseX_(averageCharWidth), baseY_(charHeight) {}

    QRect ToPixels(const QRect& dialogRect) const;
    // Pixels of this font for one pixel of the classic 8-point dialog font,
    // whose average character is 6 pixels wide.
    double PixelScale() const { return baseX_ / 6.0; }
    QSize ToPixels(const QSize& dialogSize) const;

private:
    int X(int units) const;
    int Y(int units) const;

    int baseX_;
    int baseY_;
};
