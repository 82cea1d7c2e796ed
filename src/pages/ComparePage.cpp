#include "pages/ComparePage.h"

#include <algorithm>
#include <cmath>

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/DesignDifferences.h"
#include "analysis/NumberText.h"
#include "doc/Overlays.h"

namespace {

constexpr int kShownDigits = 6;
// Long descriptions are cut to this width (their cell's tool tip has them
// whole), so that both values stay in view.
constexpr int kDescriptionWidth = 240;

// A cell of a number column: it sorts by the number, what has none last.
class NumberItem : public QTableWidgetItem {
public:
    NumberItem(const QString& text, double value) : QTableWidgetItem(text), value_(value)
    {
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    bool operator<(const QTableWidgetItem& other) const override
    {
        const double theirs = static_cast<const NumberItem&>(other).value_;
        if (std::isnan(value_) || std::isnan(theirs))
            return !std::isnan(value_) && std::isnan(theirs);
        return value_ < theirs;
    }

private:
    double value_;
};

QTableWidgetItem* TextItem(const std::u16string& text)
{
    auto* item = new QTableWidgetItem(QString::fromStdU16String(text));
    item->setToolTip(item->text());
    return item;
}

QTableWidgetItem* ValueItem(double value)
{
    const QString text = std::isnan(value) ? ComparePage::tr("not in use")
                                           : QString::fromStdString(qxr::FormatDouble(value, kShownDigits));
    return new NumberItem(text, value);
}

QString SummaryText(std::size_t differences)
{
    if (differences == 0)
        return ComparePage::tr("No symbol in use differs between %1 and %2.");
    if (differences == 1)
        return ComparePage::tr("1 symbol in use differs between %1 and %2:");
    return ComparePage::tr("%1 symbols in use differ between %2 and %3:").arg(differences);
}

}  // namespace

ComparePage::ComparePage(QWidget* parent)
    : QWidget(parent), summary_(new QLabel(this)), table_(new QTableWidget(0, kColumnCount, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    // Catalogue order until the user sorts by a column.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setAccessibleName(tr("Symbols that differ between the designs"));
}

void ComparePage::Show(const CDesignModel& design, const QString& designName, const ComparedDesign* compared)
{
    table_->setSortingEnabled(false);  // rows are filled in place, then sorted once
    table_->setRowCount(0);
    if (compared == nullptr) {
        summary_->clear();
        return;
    }
    const std::vector<qxr::SymbolDifference> differences = qxr::DesignDifferences(design, compared->model);
    table_->setHorizontalHeaderLabels(
        {tr("Name"), tr("Description"), designName, compared->Name(), tr("Unit"), tr("Difference")});
    table_->setRowCount(static_cast<int>(differences.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const qxr::SymbolDifference& d = differences[static_cast<std::size_t>(row)];
        table_->setItem(row, kName, TextItem(d.name));
        table_->setItem(row, kDescription, TextItem(d.description));
        table_->setItem(row, kValue, ValueItem(d.value));
        table_->setItem(row, kOtherValue, ValueItem(d.otherValue));
        table_->setItem(row, kUnit, TextItem(d.unit));
        table_->setItem(row, kDifference,
                        new NumberItem(QString::fromStdString(qxr::FormatRelativeDifference(d.relative)), d.relative));
    }
    table_->setSortingEnabled(true);
    table_->resizeColumnsToContents();
    table_->setColumnWidth(kDescription, std::min(table_->columnWidth(kDescription), kDescriptionWidth));
    summary_->setText(SummaryText(differences.size()).arg(designName, compared->Name()));
}
