#include "calc/CoefficientExport.h"

#include <cstdio>

namespace qxr {

const CoefficientSetLayout& LayoutOf(CoefficientSet set)
{
    using M = CDesignModel;
    static const CoefficientSetLayout feedForward{{"B0_VFF", "B1_VFF", "B2_VFF", "A1_VFF", "A2_VFF"},
                                                  {&M::B0_VFF, &M::B1_VFF, &M::B2_VFF, &M::A1_VFF, &M::A2_VFF}};
    static const CoefficientSetLayout voltageLoop{{"B0_V", "B1_V", "B2_V", "A1_V", "A2_V"},
                                                  {&M::B0_V, &M::B1_V, &M::B2_V, &M::A1_V, &M::A2_V}};
    static const CoefficientSetLayout currentLoop{{"B0_I", "B1_I", "B2_I", "A1_I", "A2_I"},
                                                  {&M::B0_I, &M::B1_I, &M::B2_I, &M::A1_I, &M::A2_I}};
    switch (set) {
    case CoefficientSet::FeedForward:
        return feedForward;
    case CoefficientSet::VoltageLoop:
        return voltageLoop;
    case CoefficientSet::CurrentLoop:
        break;
    }
    return currentLoop;
}

namespace {

std::string DefineLine(const char* name, double value)
{
    constexpr const char* kFormat = "#define %s (%+2.16f)\r\n";
    const int length = std::snprintf(nullptr, 0, kFormat, name, value);
    std::string line(static_cast<std::size_t>(length), '\0');
    std::snprintf(line.data(), line.size() + 1, kFormat, name, value);
    return line;
}

}  // namespace

std::string CoefficientText(const CDesignModel& model, CoefficientSet set)
{
    const CoefficientSetLayout& layout = LayoutOf(set);
    std::string text;
    for (std::size_t i = 0; i < kCoefficientsPerSet; ++i)
        text += DefineLine(layout.names[i], (model.*layout.symbols[i]).calcValue);
    return text;
}

}  // namespace qxr
