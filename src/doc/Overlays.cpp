#include "doc/Overlays.h"

#include <QFileInfo>

#include "analysis/Recalculate.h"
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

namespace {

ComparedCurves CurvesOf(CDesignModel& model, qxr::ControlLoop loop)
{
    ComparedCurves curves;
    qxr::BuildBodeGrid(model, loop, curves.freq);
    const qxr::LoopModel transfer = qxr::LoopModelOf(model, loop);
    for (double f : curves.freq)
        curves.points.push_back(qxr::EvaluateLoop(transfer, f));
    return curves;
}

}  // namespace

std::shared_ptr<const ComparedDesign> OpenComparedDesign(const QString& path, FileResult& result)
{
    auto compared = std::make_shared<ComparedDesign>();
    std::u16string description;  // the compared design is named by its file
    result = LoadDesignFile(FileNameBytes(path).toStdString(), compared->model, description);
    if (result != FileResult::Ok)
        return nullptr;
    compared->path = path;
    qxr::Recalculate(compared->model);
    for (qxr::ControlLoop loop : qxr::kControlLoops)
        compared->curves[static_cast<std::size_t>(loop)] = CurvesOf(compared->model, loop);
    return compared;
}
