#pragma once

#include <cstddef>
#include <string_view>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "model/Utf.h"

// A file name's bytes as a QString and back, without losing any:
// QFile::decodeName turns bytes that are not UTF-8 into U+FFFD, after which
// the file cannot be opened by that name.
inline QString FileNameFromBytes(const QByteArray& bytes)
{
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return QString::fromStdU16String(qxr::DecodeFileName(view));
}

inline QByteArray FileNameBytes(const QString& name)
{
    return QByteArray::fromStdString(qxr::EncodeFileName(name.toStdU16String()));
}

// The file an absolute name from Qt's own file handling (the file dialogs,
// QFileInfo) stands for: each component where Qt put U+FFFD for bytes that
// are not UTF-8 is found among its folder's entries. The name as it is when
// it has none, or when no single entry matches.
QString RecoveredFileName(const QString& decoded);

// The local files of a text/uri-list (a drop), every byte of their names
// kept; other addresses are left out.
QStringList LocalFilesOfUriList(const QByteArray& uriList);

// A file name as the settings store it, as bytes, and back; a name stored
// as text by an earlier version reads as it was.
QVariant FileNameSetting(const QString& name);
QString FileNameFromSetting(const QVariant& stored);
