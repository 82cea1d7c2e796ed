#include "model/Enumerations.h"

void EnumTypeInfo::Register(const std::u16string& name, int32_t value)
{
    if (firstPending) {
        defaultValue = value;
        firstPending = false;
    }
    byName[name] = value;
    byValue[value] = name;
}

std::u16string EnumTypeInfo::NameOf(int32_t value) const
{
    std::u16string name;
    TryNameOf(value, name);
    return name;
}

bool EnumTypeInfo::TryNameOf(int32_t value, std::u16string& name) const
{
    const auto found = byValue.find(value);
    if (found == byValue.end()) {
        name.clear();
        return false;
    }
    name = found->second;
    return true;
}

int32_t EnumTypeInfo::ValueOf(const std::u16string& name) const
{
    const auto found = byName.find(name);
    return found == byName.end() ? 0 : found->second;
}

void CEnumBase::InitBaseType(EnumTypeInfo& info) const
{
    info.baseTypeFlag = true;
    info.baseTypeBits = 32;
    info.baseTypeName = u"int";
}

EnumTypeInfo& CEnumBase::EnsureRegistered(EnumTypeInfo& info, const char16_t* typeName, Members members) const
{
    if (!info.registered) {
        info.registered = true;
        InitBaseType(info);
        info.typeName = typeName;
        for (const auto& [name, memberValue] : members)
            info.Register(name, memberValue);
    }
    return info;
}

CTop::CTop()
{
    value = CTop::GetTypeInfo().defaultValue;
}

EnumTypeInfo& CTop::GetTypeInfo() const
{
    static EnumTypeInfo info;
    return EnsureRegistered(info, u"CTop", {{u"ANALOG", ANALOG}, {u"DIGITAL", DIGITAL}});
}

CDistribution::CDistribution()
{
    value = CDistribution::GetTypeInfo().defaultValue;
}

EnumTypeInfo& CDistribution::GetTypeInfo() const
{
    static EnumTypeInfo info;
    return EnsureRegistered(info, u"CDistribution", {{u"Uniform", Uniform}, {u"Normal (3 sigma = tolerance)", Normal}});
}

CDiscretisation::CDiscretisation()
{
    value = CDiscretisation::GetTypeInfo().defaultValue;
}

EnumTypeInfo& CDiscretisation::GetTypeInfo() const
{
    static EnumTypeInfo info;
    return EnsureRegistered(info, u"CDiscretisation",
                            {{u"Bilinear", Bilinear},
                             {u"Bilinear, Pre-warped at the Crossover", PreWarped},
                             {u"Matched Pole-Zero", Matched}});
}

CCoefficientFormat::CCoefficientFormat()
{
    value = CCoefficientFormat::GetTypeInfo().defaultValue;
}

EnumTypeInfo& CCoefficientFormat::GetTypeInfo() const
{
    static EnumTypeInfo info;
    return EnsureRegistered(
        info, u"CCoefficientFormat",
        {{u"double", Double}, {u"float", Float}, {u"Q15 (int16)", Q15}, {u"Q31 (int32)", Q31}, {u"Qm.n (int32)", Qmn}});
}

CSeries::CSeries()
{
    value = CSeries::GetTypeInfo().defaultValue;
}

EnumTypeInfo& CSeries::GetTypeInfo() const
{
    static EnumTypeInfo info;
    return EnsureRegistered(
        info, u"CSeries",
        {{u"none", None}, {u"E6", E6}, {u"E12", E12}, {u"E24", E24}, {u"E48", E48}, {u"E96", E96}, {u"E192", E192}});
}

CLoadKind::CLoadKind()
{
    value = CLoadKind::GetTypeInfo().defaultValue;
}

EnumTypeInfo& CLoadKind::GetTypeInfo() const
{
    static EnumTypeInfo info;
    return EnsureRegistered(info, u"CLoadKind", {{u"Constant Power", ConstantPower}, {u"Resistive", Resistive}});
}

CHarmonicClass::CHarmonicClass()
{
    value = CHarmonicClass::GetTypeInfo().defaultValue;
}

EnumTypeInfo& CHarmonicClass::GetTypeInfo() const
{
    static EnumTypeInfo info;
    return EnsureRegistered(info, u"CHarmonicClass", {{u"Class A", A}, {u"Class D", D}});
}

CCtrlMode::CCtrlMode()
{
    value = CCtrlMode::GetTypeInfo().defaultValue;
}

EnumTypeInfo& CCtrlMode::GetTypeInfo() const
{
    static EnumTypeInfo info;
    return EnsureRegistered(info, u"CCtrlMode", {{u"In", In}, {u"Usr", Usr}, {u"Cal", Cal}, {u"Pic", Pic}});
}
