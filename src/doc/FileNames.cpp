#include "doc/FileNames.h"

#include <dirent.h>

#include <memory>
#include <optional>

#include <QFile>

namespace {

// Decoders differ in how many U+FFFD they put for a run of bad bytes; one stands for any run.
QString WithRunsOfReplacementsFolded(const QString& name)
{
    QString folded;
    for (const QChar c : name) {
        if (c != QChar::ReplacementCharacter || !folded.endsWith(QChar::ReplacementCharacter))
            folded += c;
    }
    return folded;
}

// The one entry of the folder whose decoded name is `component`.
std::optional<QByteArray> UniqueEntryDecodingTo(const QByteArray& folder, const QString& component)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(opendir(folder.isEmpty() ? "/" : folder.constData()), closedir);
    if (!directory)
        return std::nullopt;
    const QString wanted = WithRunsOfReplacementsFolded(component);
    std::optional<QByteArray> found;
    while (const dirent* entry = readdir(directory.get())) {
        const QByteArray name(entry->d_name);
        if (WithRunsOfReplacementsFolded(QFile::decodeName(name)) != wanted)
            continue;
        if (found)
            return std::nullopt;  // two entries look alike: neither is the one meant
        found = name;
    }
    return found;
}

// The path of a file URI ("file:///p", "file://localhost/p", "file:/p"), still percent-encoded.
std::optional<QByteArray> FileUriPath(const QByteArray& uri)
{
    if (!uri.startsWith("file:"))
        return std::nullopt;
    QByteArray rest = uri.mid(5);
    if (rest.startsWith("//")) {
        rest = rest.mid(2);
        const qsizetype slash = rest.indexOf('/');
        const QByteArray host = rest.left(slash);
        if (slash < 0 || !(host.isEmpty() || host == "localhost"))
            return std::nullopt;
        rest = rest.mid(slash);
    }
    if (!rest.startsWith('/'))
        return std::nullopt;
    return rest;
}

}  // namespace

QString RecoveredFileName(const QString& decoded)
{
    if (!decoded.contains(QChar::ReplacementCharacter) || !decoded.startsWith(QLatin1Char('/')))
        return decoded;
    QByteArray path;
    for (const QString& component : decoded.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (!component.contains(QChar::ReplacementCharacter)) {
            path += '/' + FileNameBytes(component);
            continue;
        }
        const std::optional<QByteArray> entry = UniqueEntryDecodingTo(path, component);
        if (!entry)
            return decoded;
        path += '/' + *entry;
    }
    return FileNameFromBytes(path);
}

QStringList LocalFilesOfUriList(const QByteArray& uriList)
{
    QStringList files;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const std::optional<QByteArray> path = FileUriPath(line);
        const QByteArray bytes = path ? QByteArray::fromPercentEncoding(*path) : QByteArray();
        if (!bytes.isEmpty() && !bytes.contains('\0'))
            files << FileNameFromBytes(bytes);
    }
    return files;
}

QVariant FileNameSetting(const QString& name)
{
    return FileNameBytes(name);
}

QString FileNameFromSetting(const QVariant& stored)
{
    if (stored.typeId() == QMetaType::QByteArray)
        return FileNameFromBytes(stored.toByteArray());
    return stored.toString();
}
