#include "app/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString kSettingsKey = QStringLiteral("Recent File List/Files");

QString Canonical(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

}  // namespace

RecentFiles::RecentFiles()
{
    const QStringList stored = QSettings().value(kSettingsKey).toStringList();
    for (const QString& path : stored) {
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
    QSettings().setValue(kSettingsKey, paths_);
}
