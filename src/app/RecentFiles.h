#pragma once

#include <QStringList>

// The most recently opened or saved designs, newest first, kept in the
// user's settings.
class RecentFiles {
public:
    static constexpr int kMaxEntries = 4;

    RecentFiles();

    const QStringList& Paths() const { return paths_; }
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Save() const;

    QStringList paths_;
};
