#include "app/RecentMeasurements.h"

#include <QFileInfo>
#include <QSettings>

#include "analysis/BodeColumns.h"
#include "doc/FileNames.h"

namespace {

QString SettingsKey(qxr::ControlLoop loop)
{
    return QStringLiteral("Recent File List/Measurement %1").arg(QLatin1String(qxr::LoopName(loop)));
}

}  // namespace

RecentMeasurements::RecentMeasurements()
{
    for (qxr::ControlLoop loop : qxr::kControlLoops)
        paths_[static_cast<std::size_t>(loop)] = FileNameFromSetting(QSettings().value(SettingsKey(loop)));
}

void RecentMeasurements::Set(qxr::ControlLoop loop, const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    paths_[static_cast<std::size_t>(loop)] = absolute;
    QSettings().setValue(SettingsKey(loop), FileNameSetting(absolute));
}
