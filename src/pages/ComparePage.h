#pragma once

#include <QWidget>

class CDesignModel;
class QLabel;
class QTableWidget;
struct ComparedDesign;

// The review view's "Compare" tab: every symbol in use whose value differs
// between the design and a compared one, in a table sortable by any column.
class ComparePage : public QWidget {
    Q_OBJECT

public:
    enum Column { kName, kDescription, kValue, kOtherValue, kUnit, kDifference, kColumnCount };

    explicit ComparePage(QWidget* parent = nullptr);

    // Lists what differs; designName heads the design's column. Without a
    // compared design the table is empty.
    void Show(const CDesignModel& design, const QString& designName, const ComparedDesign* compared);
    QTableWidget* Table() const { return table_; }

private:
    QLabel* summary_;
    QTableWidget* table_;
};
