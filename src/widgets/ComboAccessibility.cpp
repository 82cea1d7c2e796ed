#include "widgets/ComboAccessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace {

class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name:
            return Box()->accessibleName().isEmpty() ? Box()->currentText() : Box()->accessibleName();
        case QAccessible::Value:
            return Box()->isEditable() ? Box()->lineEdit()->text() : Box()->currentText();
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    // The list of items first, then the widgets inside (an editable box's text field).
    int childCount() const override { return 1 + QAccessibleWidget::childCount(); }

    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(Box()->view());
        return QAccessibleWidget::child(index - 1);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child != nullptr && child->object() == Box()->view())
            return 0;
        const int index = QAccessibleWidget::indexOfChild(child);
        return index < 0 ? index : index + 1;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            Box()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* NamedComboFactory(const QString&, QObject* object)
{
    auto* box = qobject_cast<QComboBox*>(object);
    return box == nullptr ? nullptr : new NamedComboBox(box);
}

}  // namespace

void InstallComboAccessibility()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(NamedComboFactory);
    installed = true;
}
