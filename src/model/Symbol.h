#pragma once

#include <cstdint>
#include <string>

#include "model/Enumerations.h"

class ArchiveReader;
class ArchiveWriter;

// Truncation toward zero to int32. NaN and values outside the int32 range
// give INT32_MIN, as the hardware conversion does, instead of undefined behaviour.
int32_t TruncToInt32(double x);

// One named design quantity. It keeps the calculated value and the user's
// entry side by side; the user's entry is in force while userSet is true.
class CSymbol {
public:
    virtual ~CSymbol() = default;

    virtual void SetCalc(double x);
    virtual void SetUser(double x);
    // The enumeration value of an enumeration symbol; none for plain symbols.
    virtual CEnumBase* GetEnum() { return nullptr; }

    double Value() const { return userSet ? userValue : calcValue; }
    void RevertToCalc();
    // Puts back an entry flag and both values exactly, an enumeration's mirrors included.
    void Restore(bool userSet, double userValue, double calcValue);
    bool IsOutsideLimits() const;

    // The symbol's record in a design file (defined with the rest of the file
    // format in DesignFile.cpp). Loading stores name, flag and values directly:
    // it marks nothing in use and leaves an enumeration symbol's mirrors alone.
    void Serialize(ArchiveWriter& archive) const;
    void Serialize(ArchiveReader& archive);

    double userValue = 0.0;
    double calcValue = 0.0;
    double scale = 1.0;  // shown number = value / scale
    double limitMin = 0.0;
    double limitMax = 0.0;  // (0, 0): no recommended range
    double defaultValue = 0.0;
    std::u16string description;
    std::u16string unit;
    std::u16string name;
    int32_t index = 0;
    bool isInput = false;
    bool inUse = false;
    bool userSet = false;
};

// The value in force of a symbol, marking it as taking part in the design:
// how every equation reads an operand.
inline double ReadInForce(CSymbol& symbol)
{
    symbol.inUse = true;
    return symbol.Value();
}

// Stores a result, marking it in use; it never replaces a user entry.
inline void SetResult(CSymbol& symbol, double value)
{
    symbol.inUse = true;
    symbol.SetCalc(value);
}

// A symbol whose value is a member of an enumeration. The two value objects
// mirror userValue and calcValue, truncated toward zero.
template <class TEnum>
class CSymbolEnum : public CSymbol {
public:
    void SetCalc(double x) override
    {
        if (!userSet)
            userValue = x;
        enumUser.SetValue(TruncToInt32(userValue));
        calcValue = x;
        enumCalc.SetValue(TruncToInt32(calcValue));
    }

    void SetUser(double x) override
    {
        userSet = true;
        userValue = x;
        enumUser.SetValue(TruncToInt32(x));
        enumCalc.SetValue(TruncToInt32(calcValue));
    }

    CEnumBase* GetEnum() override { return &enumUser; }

    TEnum enumUser;
    TEnum enumCalc;
};
