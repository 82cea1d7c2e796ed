#include "analysis/DesignText.h"

#include <sstream>

#include "analysis/NumberText.h"
#include "model/Utf.h"

namespace qxr {

std::vector<std::string> MessageLines(const CDesignModel& model)
{
    std::vector<std::string> lines;
    std::istringstream stream(model.messages);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::string ModeText(const CDesignModel& model)
{
    // The mirrors of `ad` are not restored by a file load, so the name comes
    // from the value in force.
    const std::u16string name = model.ad.enumCalc.GetTypeInfo().NameOf(model.Mode());
    if (name.empty())
        return FormatDouble(model.ad.Value(), 6) + " (unknown: nothing is calculated)";
    return ToUtf8(name) + " (" + std::to_string(model.Mode()) + ")";
}

}  // namespace qxr
