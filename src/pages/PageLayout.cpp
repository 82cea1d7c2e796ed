#include "pages/PageLayout.h"

#include <QStringList>

#include "model/Enumerations.h"

Declaration ParseCaption(const QString& caption)
{
    const QStringList fields = caption.split(QLatin1Char(','), Qt::SkipEmptyParts);
    Declaration declaration;
    if (fields.size() == 3 && fields[0] == QLatin1String("h")) {
        declaration.kind = Declaration::Kind::Header;
        declaration.level = fields[1];
        declaration.title = fields[2];
        return declaration;
    }
    if (fields.size() != 3 && fields.size() != 4)
        return declaration;
    declaration.kind = Declaration::Kind::Row;
    declaration.symbol = fields[0];
    const std::u16string modeName = fields[1].toStdU16String();
    const EnumTypeInfo& modes = CCtrlMode().GetTypeInfo();
    declaration.mode = modes.byName.count(modeName) ? modes.ValueOf(modeName) : CCtrlMode::In;
    if (fields.size() == 4) {
        const QString& precision = fields[2];
        int digits = 0;
        while (digits < precision.size() && precision[digits].isDigit())
            ++digits;
        declaration.precision = precision.left(digits).toInt();
    }
    declaration.description = fields.last();
    return declaration;
}

namespace {

QRect Span(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

}  // namespace

RowPlan PlanRow(int mode, bool isEnumeration, const QRect& declared, int fontHeight, double pixelScale)
{
    const auto px = [pixelScale](int pixels) { return static_cast<int>(pixels * pixelScale + 0.5); };
    const int L = declared.left();
    const int T = declared.top();
    const int R = declared.left() + declared.width();
    const int B = declared.top() + declared.height();
    const int insetTop = T + px(4);
    const int insetBottom = T + px(8) - fontHeight;

    RowPlan plan;
    if (mode == CCtrlMode::Pic) {
        plan.value = RowPlan::Value::Picture;
        plan.picture = Span(L, T, R, B);
        return plan;
    }
    plan.unit = Span(R - px(20), insetTop, R, insetBottom);
    const QRect valueA = Span(R - px(210), insetTop, R - px(120), insetBottom);
    const QRect valueB = Span(R - px(115), insetTop, R - px(25), insetBottom);
    const QRect wideLabel = Span(L, T, R - px(120), B);
    const QRect narrowLabel = Span(L, T, R - px(215), B);
    if (mode == CCtrlMode::Usr) {
        plan.value = RowPlan::Value::ProposalEditAndCombo;
        plan.editRect = valueA;
        plan.comboRect = Span(R - px(115), T, R - px(25), B);
        plan.label = narrowLabel;
    } else if (mode == CCtrlMode::Cal) {
        plan.value = RowPlan::Value::ResultEdit;
        plan.editRect = valueB;
        plan.label = wideLabel;
    } else if (isEnumeration) {
        plan.value = RowPlan::Value::EnumCombo;
        plan.comboRect = Span(R - px(210), T, R - px(25), B);
        plan.label = narrowLabel;
    } else {
        plan.value = RowPlan::Value::InputEdit;
        plan.editRect = valueB;
        plan.label = wideLabel;
    }
    return plan;
}
