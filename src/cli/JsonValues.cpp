#include "cli/JsonValues.h"

#include <cmath>

namespace qxr::cli {

Json Number(double x)
{
    if (std::isnan(x))
        return "NaN";
    if (std::isinf(x))
        return x > 0 ? "Infinity" : "-Infinity";
    return x;
}

Json Numbers(const std::vector<double>& values)
{
    Json array = Json::array();
    for (double x : values)
        array.push_back(Number(x));
    return array;
}

std::string JsonText(const Json& document)
{
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

}  // namespace qxr::cli
