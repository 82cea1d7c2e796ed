#include "analysis/Recalculate.h"

#include "analysis/BodeData.h"
#include "analysis/StabilityMetrics.h"
#include "calc/Design.h"

namespace qxr {

void Recalculate(CDesignModel& model)
{
    CalculateDesign(model);
    const int32_t mode = model.Mode();
    if (mode != CTop::ANALOG && mode != CTop::DIGITAL)
        return;
    BuildBodeData(model);
    for (ControlLoop loop : kControlLoops)
        ComputeGridMetrics(model.Loop(loop));
}

}  // namespace qxr
