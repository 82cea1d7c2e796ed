#include "present/PageLayout.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "model/Enumerations.h"
#include "model/Utf.h"
#include "present/PageTemplate.h"

namespace qxr {

namespace {

std::vector<std::string_view> NonEmptyFields(std::string_view caption)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= caption.size()) {
        const std::size_t comma = std::min(caption.find(',', start), caption.size());
        if (comma > start)
            fields.push_back(caption.substr(start, comma - start));
        start = comma + 1;
    }
    return fields;
}

// The number its leading decimal digits make; 0 without any, or beyond an int.
int LeadingNumber(std::string_view text)
{
    long long number = 0;
    for (std::size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = number * 10 + (text[i] - '0');
        if (number > std::numeric_limits<int>::max())
            return 0;
    }
    return static_cast<int>(number);
}

}  // namespace

Declaration ParseCaption(std::string_view caption)
{
    const std::vector<std::string_view> fields = NonEmptyFields(caption);
    Declaration declaration;
    if (fields.size() == 3 && fields[0] == "h") {
        declaration.kind = Declaration::Kind::Header;
        declaration.level = fields[1];
        declaration.title = fields[2];
        return declaration;
    }
    if (fields.size() != 3 && fields.size() != 4)
        return declaration;
    declaration.kind = Declaration::Kind::Row;
    declaration.symbol = fields[0];
    const std::u16string modeName = FromUtf8(fields[1]);
    const EnumTypeInfo& modes = CCtrlMode().GetTypeInfo();
    declaration.mode = modes.byName.count(modeName) ? modes.ValueOf(modeName) : CCtrlMode::In;
    if (fields.size() == 4)
        declaration.precision = LeadingNumber(fields[2]);
    declaration.description = fields.back();
    return declaration;
}

std::vector<Declaration> PageDeclarations(int templateId)
{
    std::vector<Declaration> declarations;
    const std::optional<PageTemplate> layout = LoadPageTemplate(templateId);
    if (!layout)
        return declarations;
    for (const TemplateControl& control : layout->controls) {
        Declaration declaration = ParseCaption(control.text);
        if (declaration.kind != Declaration::Kind::None)
            declarations.push_back(std::move(declaration));
    }
    return declarations;
}

RowPlan PlanRow(int mode, bool isEnumeration, const Rect& declared, int fontHeight, double pixelScale)
{
    const auto px = [pixelScale](int pixels) { return static_cast<int>(pixels * pixelScale + 0.5); };
    const int L = declared.x;
    const int T = declared.y;
    const int R = declared.Right();
    const int B = declared.Bottom();
    const int insetTop = T + px(4);
    const int insetBottom = T + px(8) - fontHeight;
    const auto span = Rect::Spanning;

    RowPlan plan;
    if (mode == CCtrlMode::Pic) {
        plan.value = RowPlan::Value::Picture;
        plan.picture = span(L, T, R, B);
        return plan;
    }
    plan.unit = span(R - px(20), insetTop, R, insetBottom);
    const Rect valueA = span(R - px(210), insetTop, R - px(120), insetBottom);
    const Rect valueB = span(R - px(115), insetTop, R - px(25), insetBottom);
    const Rect wideLabel = span(L, T, R - px(120), B);
    const Rect narrowLabel = span(L, T, R - px(215), B);
    if (mode == CCtrlMode::Usr) {
        plan.value = RowPlan::Value::ProposalEditAndCombo;
        plan.editRect = valueA;
        plan.comboRect = span(R - px(115), T, R - px(25), B);
        plan.label = narrowLabel;
    } else if (mode == CCtrlMode::Cal) {
        plan.value = RowPlan::Value::ResultEdit;
        plan.editRect = valueB;
        plan.label = wideLabel;
    } else if (isEnumeration) {
        plan.value = RowPlan::Value::EnumCombo;
        plan.comboRect = span(R - px(210), T, R - px(25), B);
        plan.label = narrowLabel;
    } else {
        plan.value = RowPlan::Value::InputEdit;
        plan.editRect = valueB;
        plan.label = wideLabel;
    }
    return plan;
}

}  // namespace qxr
