#include "cli/Coefficients.h"

namespace qxr::cli {

namespace {

std::string WithLineFeeds(const std::string& crlfText)
{
    std::string text;
    for (std::size_t i = 0; i < crlfText.size(); ++i)
        if (!(crlfText[i] == '\r' && i + 1 < crlfText.size() && crlfText[i + 1] == '\n'))
            text += crlfText[i];
    return text;
}

}  // namespace

std::string FormatCoefficients(const CDesignModel& model, const std::vector<CoefficientSet>& sets)
{
    std::string text;
    for (CoefficientSet set : sets)
        text += WithLineFeeds(CoefficientText(model, set));
    return text;
}

}  // namespace qxr::cli
