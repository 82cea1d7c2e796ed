#include "present/ValueText.h"

#include "model/Utf.h"
#include "present/NumberFormat.h"

namespace qxr {

std::string FormatValue(const CSymbol& symbol, double value, int precision)
{
    return FormatFixed(value / symbol.scale, precision);
}

std::string ShownText(CSymbol& symbol, double value, int precision)
{
    if (CEnumBase* enumeration = symbol.GetEnum())
        return ToUtf8(enumeration->GetTypeInfo().NameOf(TruncToInt32(value)));
    return FormatValue(symbol, value, precision);
}

}  // namespace qxr
