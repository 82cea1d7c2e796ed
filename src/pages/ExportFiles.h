#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QWidget;

// Asks where to export to; the dialog asks before an existing file is
// replaced, and adds the suffix of the chosen filter ("PNG Image (*.png)")
// to a name typed without one. Empty when the user cancels.
QString AskExportPath(QWidget* parent, const QString& caption, const QString& suggestion, const QStringList& filters);

// Writes an export like a design file: atomically, so that a failed write
// leaves the earlier file as it was. False when it could not be written.
bool WriteExportBytes(const QString& path, const QByteArray& bytes);

// WriteExportBytes, saying in a message box when the write failed.
bool WriteExportFile(QWidget* parent, const QString& path, const QByteArray& bytes);
