#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

// Descriptor of one enumeration class: its members by name and by value.
// One static instance per class, built on first use and kept for the process.
struct EnumTypeInfo {
    std::u16string typeName;
    std::u16string baseTypeName;
    int32_t baseTypeBits = 0;
    bool baseTypeFlag = false;
    bool firstPending = true;
    int32_t defaultValue = 0;  // value of the first registered member
    std::map<std::u16string, int32_t> byName;
    std::map<int32_t, std::u16string> byValue;
    bool registered = false;

    void Register(const std::u16string& name, int32_t value);
    // The member name of a value, or the empty string when none is registered.
    std::u16string NameOf(int32_t value) const;
    bool TryNameOf(int32_t value, std::u16string& name) const;
    // The value of a member name (exact, case-sensitive); 0 when none is registered.
    int32_t ValueOf(const std::u16string& name) const;
};

// An enumeration value object: one int32 and the descriptor of its class.
class CEnumBase {
public:
    virtual ~CEnumBase() = default;

    virtual EnumTypeInfo& GetTypeInfo() const = 0;
    virtual void SetValue(int32_t v) { value = v; }
    virtual int32_t GetValue() const { return value; }
    virtual void InitBaseType(EnumTypeInfo& info) const;

    std::u16string CurrentName() const { return GetTypeInfo().NameOf(GetValue()); }

protected:
    using Members = std::initializer_list<std::pair<const char16_t*, int32_t>>;
    // Registers the members into the descriptor the first time it is asked for.
    EnumTypeInfo& EnsureRegistered(EnumTypeInfo& info, const char16_t* typeName, Members members) const;

    int32_t value = 0;
};

// Controller kind, the value of the Mode symbol `ad`. The values double as
// the ids of the two schematic pictures.
class CTop : public CEnumBase {
public:
    static constexpr int32_t ANALOG = 311;
    static constexpr int32_t DIGITAL = 314;

    CTop();
    EnumTypeInfo& GetTypeInfo() const override;
};

// How the Monte Carlo samples of the stability sweep spread each part value
// over its tolerance: evenly, or normally with the tolerance as three sigma.
class CDistribution : public CEnumBase {
public:
    static constexpr int32_t Uniform = 0;
    static constexpr int32_t Normal = 1;

    CDistribution();
    EnumTypeInfo& GetTypeInfo() const override;
};

// How the digital design turns its continuous filters into 2p2z filters.
class CDiscretisation : public CEnumBase {
public:
    static constexpr int32_t Bilinear = 0;
    static constexpr int32_t PreWarped = 1;  // bilinear, exact at the crossover (the low-pass: at its corner)
    static constexpr int32_t Matched = 2;    // poles and zeros mapped by z = e^(sT)

    CDiscretisation();
    EnumTypeInfo& GetTypeInfo() const override;
};

// The number format of the coefficients the firmware runs.
class CCoefficientFormat : public CEnumBase {
public:
    static constexpr int32_t Double = 0;
    static constexpr int32_t Float = 1;
    static constexpr int32_t Q15 = 2;
    static constexpr int32_t Q31 = 3;
    static constexpr int32_t Qmn = 4;  // int32 with N__FRAC fraction bits

    CCoefficientFormat();
    EnumTypeInfo& GetTypeInfo() const override;
};

// The standard series a part class is rounded to (IEC 60063); the value is
// the number of values per decade, None leaves the parts as calculated.
class CSeries : public CEnumBase {
public:
    static constexpr int32_t None = 0;
    static constexpr int32_t E6 = 6;
    static constexpr int32_t E12 = 12;
    static constexpr int32_t E24 = 24;
    static constexpr int32_t E48 = 48;
    static constexpr int32_t E96 = 96;
    static constexpr int32_t E192 = 192;

    CSeries();
    EnumTypeInfo& GetTypeInfo() const override;
};

// What the time-domain simulation draws from the output: a constant power,
// as a downstream converter does, or a fixed resistance.
class CLoadKind : public CEnumBase {
public:
    static constexpr int32_t ConstantPower = 0;
    static constexpr int32_t Resistive = 1;

    CLoadKind();
    EnumTypeInfo& GetTypeInfo() const override;
};

// The IEC 61000-3-2 class whose harmonic limits the line current is held against.
class CHarmonicClass : public CEnumBase {
public:
    static constexpr int32_t A = 0;
    static constexpr int32_t D = 1;

    CHarmonicClass();
    EnumTypeInfo& GetTypeInfo() const override;
};

// Entry mode of a page row.
class CCtrlMode : public CEnumBase {
public:
    static constexpr int32_t In = 0;
    static constexpr int32_t Usr = 1;
    static constexpr int32_t Cal = 2;
    static constexpr int32_t Pic = 3;

    CCtrlMode();
    EnumTypeInfo& GetTypeInfo() const override;
};
