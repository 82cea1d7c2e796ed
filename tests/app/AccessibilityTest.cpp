#include <functional>

#include <QAccessible>
#include <QLabel>
#include <QRegularExpression>

#include "AppFixture.h"
#include "analysis/Recalculate.h"
#include "app/TabViews.h"
#include "doc/UpdateHints.h"
#include "pages/SymbolControls.h"

namespace {

// "ad,In,0,*", "L__MIN,Usr,1,*", "h,1,Design Parameters": what the templates declare rows and headers with.
const QRegularExpression kCaption(QStringLiteral("^\\w+,\\w+,"));

class Accessibility : public AppFixture {
protected:
    std::vector<CDialogTab*> AllPages()
    {
        std::vector<CDialogTab*> pages;
        for (CDialogTab* page : Frame().UserView()->Pages())
            pages.push_back(page);
        for (CDialogTab* page : Frame().ReviewView()->Pages())
            pages.push_back(page);
        return pages;
    }

    // Every accessible object under the page, as a screen reader walks it.
    static void Walk(QAccessibleInterface* node, const std::function<void(QAccessibleInterface&)>& visit)
    {
        if (node == nullptr)
            return;
        visit(*node);
        for (int i = 0; i < node->childCount(); ++i)
            Walk(node->child(i), visit);
    }

    const CDialogTabRow& RowOf(const QString& symbol)
    {
        for (CDialogTab* page : Frame().UserView()->Pages())
            for (const CDialogTabRow& row : page->Rows())
                if (row.symbolName == symbol && row.combo != nullptr)
                    return row;
        throw std::logic_error("no drop-down for " + symbol.toStdString());
    }

    void SwitchMode(double mode)
    {
        Document().model.ad.SetUser(mode);
        qxr::Recalculate(Document().model);
        Document().UpdateAllViews(nullptr, HINT_VALUES);
    }
};

TEST_F(Accessibility, NoCaptionIsExposedAndEveryEditableFieldHasAName)
{
    for (const double mode : {CTop::ANALOG, CTop::DIGITAL}) {
        SwitchMode(mode);
        for (CDialogTab* page : AllPages()) {
            SCOPED_TRACE(page->title.toStdString());
            int editable = 0;
            Walk(QAccessible::queryAccessibleInterface(page), [&editable](QAccessibleInterface& node) {
                for (const QAccessible::Text kind : {QAccessible::Name, QAccessible::Description, QAccessible::Value})
                    EXPECT_FALSE(kCaption.match(node.text(kind)).hasMatch()) << node.text(kind).toStdString();
                const bool editableRole =
                    node.role() == QAccessible::EditableText || node.role() == QAccessible::ComboBox;
                if (editableRole && !node.state().readOnly && !node.state().invisible && node.state().focusable) {
                    ++editable;
                    EXPECT_FALSE(node.text(QAccessible::Name).isEmpty()) << node.text(QAccessible::Value).toStdString();
                }
                if (node.role() == QAccessible::ComboBox) {
                    EXPECT_NE(node.text(QAccessible::Name), node.text(QAccessible::Value)) << "named by its value";
                }
            });
            if (page == Frame().UserView()->Pages()[0]) {
                EXPECT_GT(editable, 5);
            }
        }
    }
}

TEST_F(Accessibility, RowControlsAreNamedByTheirRowAndDescribedByTheirUnit)
{
    int named = 0;
    for (CDialogTab* page : AllPages()) {
        for (const CDialogTabRow& row : page->Rows()) {
            for (QWidget* control : {static_cast<QWidget*>(row.valueEdit), static_cast<QWidget*>(row.combo)}) {
                if (control == nullptr)
                    continue;
                ++named;
                EXPECT_EQ(control->accessibleName(), row.label->text()) << row.symbolName.toStdString();
                EXPECT_EQ(control->accessibleDescription(), row.unit->text()) << row.symbolName.toStdString();
            }
            if (row.label != nullptr && row.label->buddy() != nullptr) {
                EXPECT_NE(row.label->buddy()->focusPolicy(), Qt::NoFocus);
            }
        }
    }
    EXPECT_GT(named, 50);
    // The Mode drop-down and an editable "(default)" drop-down beside a proposal.
    for (const char* symbol : {"ad", "L__MIN"}) {
        const CDialogTabRow& row = RowOf(symbol);
        ASSERT_NE(row.combo, nullptr) << symbol;
        QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(row.combo);
        EXPECT_EQ(combo->text(QAccessible::Name), row.label->text());
        EXPECT_EQ(combo->text(QAccessible::Value), row.combo->currentText());
        if (row.combo->lineEdit() != nullptr) {
            EXPECT_EQ(QAccessible::queryAccessibleInterface(row.combo->lineEdit())->text(QAccessible::Name),
                      row.label->text());
        }
    }
    const CDialogTabRow& outputVoltage = Frame().UserView()->Pages()[0]->Rows().at(7);
    EXPECT_EQ(outputVoltage.valueEdit->accessibleName(), "Output Voltage");
    EXPECT_EQ(outputVoltage.valueEdit->accessibleDescription(), "V");
    EXPECT_EQ(outputVoltage.label->buddy(), outputVoltage.valueEdit);
}

}  // namespace
