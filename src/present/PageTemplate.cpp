#include "present/PageTemplate.h"

#include <cstdlib>
#include <string>

#include <pugixml.hpp>

#include "present/EmbeddedFiles.h"

namespace qxr {

namespace {

int IntOf(const pugi::xml_node& node)
{
    return std::atoi(node.child_value());
}

Rect RectOf(const pugi::xml_node& rect)
{
    return {IntOf(rect.child("x")), IntOf(rect.child("y")), IntOf(rect.child("width")), IntOf(rect.child("height"))};
}

// The value element inside a property (<rect>, <string>, <bool>, <set> ...).
pugi::xml_node ValueOf(const pugi::xml_node& property)
{
    return property.find_child([](const pugi::xml_node& node) { return node.type() == pugi::node_element; });
}

TemplateControl ControlOf(const pugi::xml_node& widget)
{
    TemplateControl control;
    control.className = widget.attribute("class").value();
    control.name = widget.attribute("name").value();
    for (const pugi::xml_node& property : widget.children("property")) {
        const std::string name = property.attribute("name").value();
        const pugi::xml_node value = ValueOf(property);
        if (name == "geometry")
            control.rect = RectOf(value);
        else if (name == "text")
            control.text = value.child_value();
        else if (name == "visible")
            control.visible = std::string(value.child_value()) != "false";
        else if (name == "readOnly")
            control.readOnly = std::string(value.child_value()) == "true";
        else if (name == "alignment")
            control.alignRight = std::string(value.child_value()).find("AlignRight") != std::string::npos;
    }
    return control;
}

}  // namespace

std::optional<PageTemplate> ParsePageTemplate(std::string_view uiXml)
{
    pugi::xml_document document;
    if (!document.load_buffer(uiXml.data(), uiXml.size()))
        return std::nullopt;
    const pugi::xml_node form = document.child("ui").child("widget");
    if (!form)
        return std::nullopt;
    PageTemplate page;
    const TemplateControl formControl = ControlOf(form);
    page.size = {formControl.rect.width, formControl.rect.height};
    for (const pugi::xml_node& widget : form.children("widget"))
        page.controls.push_back(ControlOf(widget));
    return page;
}

std::optional<PageTemplate> LoadPageTemplate(int id)
{
    const std::string_view bytes = EmbeddedFile("templates/" + std::to_string(id) + ".ui");
    if (bytes.empty())
        return std::nullopt;
    return ParsePageTemplate(bytes);
}

Rect DialogUnits::ToPixels(const Rect& dialogRect) const
{
    const int left = X(dialogRect.x);
    const int top = Y(dialogRect.y);
    return Rect::Spanning(left, top, X(dialogRect.Right()), Y(dialogRect.Bottom()));
}

Size DialogUnits::ToPixels(const Size& dialogSize) const
{
    return {X(dialogSize.width), Y(dialogSize.height)};
}

}  // namespace qxr
