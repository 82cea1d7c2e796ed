#include "present/SchematicTexts.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include <pugixml.hpp>

#include "analysis/NumberText.h"
#include "analysis/PartValues.h"
#include "present/EmbeddedFiles.h"

namespace qxr {

namespace {

constexpr std::string_view kValuePrefix = "value-";

// An attribute's number in the C locale; 0 when it is not one.
double NumberOf(const pugi::xml_attribute& attribute)
{
    const char* text = attribute.value();
    double value = 0;
    const std::from_chars_result result = std::from_chars(text, text + std::strlen(text), value);
    return result.ec == std::errc() ? value : 0.0;
}

TextAnchor AnchorOf(std::string_view textAnchor)
{
    if (textAnchor == "middle")
        return TextAnchor::Middle;
    return textAnchor == "end" ? TextAnchor::End : TextAnchor::Start;
}

std::string PartValueText(const PartValue& part)
{
    const bool rounded = part.series != CSeries::None && !std::isnan(part.standard);
    return FormatEngineering(rounded ? part.standard : part.inForce, BaseUnitOf(part.kind), rounded ? 3 : 4);
}

}  // namespace

std::string_view PictureBytes(int id)
{
    return EmbeddedFile("pictures/" + std::to_string(id) + ".svg");
}

std::map<std::string, PictureText> ReadValueAnchors(std::string_view svg)
{
    std::map<std::string, PictureText> anchors;
    pugi::xml_document document;
    document.load_buffer(svg.data(), svg.size());  // what parsed before an error still counts
    for (const pugi::xpath_node& found : document.select_nodes("//*[local-name()='text']")) {
        const pugi::xml_node text = found.node();
        const std::string_view id = text.attribute("id").value();
        if (id.substr(0, kValuePrefix.size()) != kValuePrefix)
            continue;
        PictureText anchor;
        anchor.x = NumberOf(text.attribute("x"));
        anchor.y = NumberOf(text.attribute("y"));
        anchor.anchor = AnchorOf(text.attribute("text-anchor").value());
        anchor.fontSize = NumberOf(text.attribute("font-size"));
        anchors[std::string(id.substr(kValuePrefix.size()))] = anchor;
    }
    return anchors;
}

std::map<std::string, PictureText> SchematicValueAnchors()
{
    return ReadValueAnchors(PictureBytes(kAnalogSchematic));
}

std::vector<PictureText> SchematicValueTexts(CDesignModel& model, const std::map<std::string, PictureText>& anchors)
{
    std::vector<PictureText> texts;
    for (const PartValue& part : PartValuesOf(model)) {
        const auto anchor = anchors.find(part.designator);
        if (anchor == anchors.end())
            continue;
        PictureText text = anchor->second;
        text.text = PartValueText(part);
        texts.push_back(text);
    }
    return texts;
}

}  // namespace qxr
