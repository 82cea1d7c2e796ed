#include "app/RecentFiles.h"

#include <cstdlib>
#include <memory>

#include <QFileInfo>
#include <QSettings>

#include "doc/FileNames.h"

namespace {

const QString kSettingsKey = QStringLiteral("Recent File List/Files");

// The file's name with links resolved, from its bytes; the absolute name of a file that is gone.
QString Canonical(const QString& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(FileNameBytes(path).constData(), nullptr),
                                                               std::free);
    return resolved ? FileNameFromBytes(resolved.get()) : QFileInfo(path).absoluteFilePath();
}

}  // namespace

RecentFiles::RecentFiles()
{
    for (const QVariant& stored : QSettings().value(kSettingsKey).toList()) {
        const QString path = FileNameFromSetting(stored);
        if (!path.isEmpty() && !paths_.contains(path) && paths_.size() < kMaxEntries)
            paths_.append(path);
    }
}

void RecentFiles::Add(const QString& path)
{
    const QString entry = Canonical(path);
    paths_.removeAll(entry);
    paths_.prepend(entry);
    while (paths_.size() > kMaxEntries)
        paths_.removeLast();
    Save();
}

void RecentFiles::Remove(const QString& path)
{
    paths_.removeAll(path);
    Save();
}

void RecentFiles::Save() const
{
    QVariantList stored;
    for (const QString& path : paths_)
        stored << FileNameSetting(path);
    QSettings().setValue(kSettingsKey, stored);
}
