#include "doc/Overlays.h"

#include <QFileInfo>

#include "doc/FileNames.h"

std::shared_ptr<const MeasuredOverlay> ImportMeasurement(const QString& path, QString& error)
{
    qxr::MeasurementRead read = qxr::ReadMeasurementFile(FileNameBytes(path).toStdString());
    if (!read.error.empty()) {
        error = QString::fromStdString(read.error);
        return nullptr;
    }
    auto overlay = std::make_shared<MeasuredOverlay>();
    overlay->path = path;
    overlay->metrics = qxr::MeasuredMetricsOf(read.points);
    overlay->points = std::move(read.points);
    return overlay;
}

QString ComparedDesign::Name() const
{
    return QFileInfo(path).fileName();
}

std::shared_ptr<ComparedDesign> OpenComparedDesign(const QString& path, FileResult& result)
{
    auto compared = std::make_shared<ComparedDesign>();
    result = LoadDesignFile(FileNameBytes(path).toStdString(), compared->model, compared->description);
    if (result != FileResult::Ok)
        return nullptr;
    compared->path = path;
    compared->model.Recalculate();
    return compared;
}
