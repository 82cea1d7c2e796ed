#include "present/FigureLabels.h"

#include "analysis/BodeColumns.h"

namespace qxr {

std::string LoopTitle(ControlLoop loop)
{
    std::string name = LoopName(loop);
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

}  // namespace qxr
