#include "app/UserPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

const QString DialogPrompts::kFileFilter = QStringLiteral("QXR Files (*.qxr)");

UserPrompts::Answer DialogPrompts::AskSaveChanges(QWidget* parent, const QString& title)
{
    const auto button =
        QMessageBox::question(parent, QStringLiteral("QXR"), QStringLiteral("Save changes to %1?").arg(title),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void DialogPrompts::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, QStringLiteral("QXR"), text);
}

QString DialogPrompts::AskOpenPath(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), QString(), kFileFilter);
}

QString DialogPrompts::AskSavePath(QWidget* parent, const QString& suggestion)
{
    QFileDialog dialog(parent, QStringLiteral("Save As"), suggestion, kFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("qxr"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
