#pragma once

#include <cstddef>
#include <string_view>

#include <QByteArray>
#include <QString>

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
