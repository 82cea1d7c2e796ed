#include "pages/ExportFiles.h"

#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

#include "doc/FileNames.h"
#include "model/FileBytes.h"

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("ExportFiles", text);
}

// "PNG Image (*.png)" -> "png"
QString FilterSuffix(const QString& filter)
{
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace

QString AskExportPath(QWidget* parent, const QString& caption, const QString& suggestion, const QStringList& filters)
{
    QFileDialog dialog(parent, caption, suggestion);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(FilterSuffix(filters.value(0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(FilterSuffix(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return RecoveredFileName(dialog.selectedFiles().constFirst());
}

bool WriteExportBytes(const QString& path, const QByteArray& bytes)
{
    const std::vector<uint8_t> content(bytes.begin(), bytes.end());
    return !bytes.isEmpty() && WriteFileBytesAtomically(FileNameBytes(path).toStdString(), content);
}

bool WriteExportFile(QWidget* parent, const QString& path, const QByteArray& bytes)
{
    if (WriteExportBytes(path, bytes))
        return true;
    QMessageBox::warning(parent, Tr("QXR"), Tr("Failed to write %1.").arg(QDir::toNativeSeparators(path)));
    return false;
}
