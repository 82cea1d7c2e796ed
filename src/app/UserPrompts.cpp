#include "app/UserPrompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include "doc/FileNames.h"
#include "pages/ExportFiles.h"

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("DialogPrompts", text);
}

QString FileFilter()
{
    return Tr("QXR Files (*.qxr)");
}

}  // namespace

UserPrompts::Answer DialogPrompts::AskSaveChanges(QWidget* parent, const QString& title)
{
    const auto button =
        QMessageBox::question(parent, Tr("QXR"), Tr("Save changes to %1?").arg(title),
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
    QMessageBox::warning(parent, Tr("QXR"), text);
}

UserPrompts::RecoveryAnswer DialogPrompts::AskRestore(QWidget* parent, const QDateTime& written)
{
    QMessageBox box(QMessageBox::Question, Tr("QXR"),
                    Tr("QXR was not closed properly. Restore the unsaved design from %1?")
                        .arg(QLocale().toString(written, QLocale::ShortFormat)),
                    QMessageBox::NoButton, parent);
    QPushButton* restore = box.addButton(Tr("Restore"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(Tr("Discard"), QMessageBox::DestructiveRole);
    QPushButton* later = box.addButton(Tr("Later"), QMessageBox::RejectRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == restore)
        return RecoveryAnswer::Restore;
    if (box.clickedButton() == discard)
        return RecoveryAnswer::Discard;
    return RecoveryAnswer::Later;
}

QString DialogPrompts::AskOpenPath(QWidget* parent)
{
    return RecoveredFileName(QFileDialog::getOpenFileName(parent, Tr("Open"), QString(), FileFilter()));
}

QString DialogPrompts::AskSavePath(QWidget* parent, const QString& suggestion)
{
    QFileDialog dialog(parent, Tr("Save As"), suggestion, FileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("qxr"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return RecoveredFileName(dialog.selectedFiles().constFirst());
}

QString DialogPrompts::AskExportPath(QWidget* parent, const QString& caption, const QString& suggestion,
                                     const QString& filter)
{
    return ::AskExportPath(parent, caption, suggestion, {filter});
}

QString DialogPrompts::AskImportPath(QWidget* parent, const QString& caption, const QString& filter)
{
    return RecoveredFileName(QFileDialog::getOpenFileName(parent, caption, QString(), filter));
}
