#include <gtest/gtest.h>

#include "model/Enumerations.h"

namespace {

TEST(Enumerations, TopDescriptor)
{
    const CTop top;
    EnumTypeInfo& info = top.GetTypeInfo();
    EXPECT_EQ(info.typeName, u"CTop");
    EXPECT_EQ(info.baseTypeName, u"int");
    EXPECT_EQ(info.baseTypeBits, 32);
    EXPECT_TRUE(info.baseTypeFlag);
    EXPECT_TRUE(info.registered);
    EXPECT_FALSE(info.firstPending);
    EXPECT_EQ(info.defaultValue, 311);
    EXPECT_EQ(top.GetValue(), 311);
    EXPECT_EQ(top.CurrentName(), u"ANALOG");
    EXPECT_EQ(&CTop().GetTypeInfo(), &info) << "one descriptor per class";
    EXPECT_EQ(info.byName.size(), 2u);
}

TEST(Enumerations, CtrlModeDescriptor)
{
    const CCtrlMode mode;
    EnumTypeInfo& info = mode.GetTypeInfo();
    EXPECT_EQ(info.typeName, u"CCtrlMode");
    EXPECT_EQ(mode.GetValue(), 0);
    EXPECT_EQ(mode.CurrentName(), u"In");
    EXPECT_EQ(info.byValue.size(), 4u);
    EXPECT_NE(&info, &CTop().GetTypeInfo());
}

TEST(Enumerations, NamesAndValues)
{
    struct Case {
        const CEnumBase& object;
        int32_t value;
        const char16_t* name;
    };
    const CTop top;
    const CCtrlMode ctrl;
    const Case registered[] = {
        {top, 311, u"ANALOG"}, {top, 314, u"DIGITAL"}, {ctrl, 0, u"In"},
        {ctrl, 1, u"Usr"},     {ctrl, 2, u"Cal"},      {ctrl, 3, u"Pic"},
    };
    for (const Case& c : registered) {
        const EnumTypeInfo& info = c.object.GetTypeInfo();
        std::u16string name;
        EXPECT_TRUE(info.TryNameOf(c.value, name));
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(info.NameOf(c.value), c.name);
        EXPECT_EQ(info.ValueOf(c.name), c.value);
    }
}

TEST(Enumerations, UnregisteredNamesAndValues)
{
    const EnumTypeInfo& info = CTop().GetTypeInfo();
    std::u16string name = u"stale";
    EXPECT_FALSE(info.TryNameOf(312, name));
    EXPECT_EQ(name, u"");
    EXPECT_EQ(info.NameOf(312), u"");
    EXPECT_EQ(info.ValueOf(u"analog"), 0);
    EXPECT_EQ(info.ValueOf(u"ANALOG "), 0);
    EXPECT_EQ(CCtrlMode().GetTypeInfo().ValueOf(u"usr"), 0);
}

TEST(Enumerations, CurrentNameFollowsTheValue)
{
    CCtrlMode mode;
    mode.SetValue(3);
    EXPECT_EQ(mode.CurrentName(), u"Pic");
    mode.SetValue(7);
    EXPECT_EQ(mode.CurrentName(), u"");
}

TEST(Enumerations, RegisterKeepsFirstAsDefaultAndLaterKeysOverwrite)
{
    EnumTypeInfo info;
    info.Register(u"A", 5);
    info.Register(u"B", 6);
    info.Register(u"A", 7);
    EXPECT_EQ(info.defaultValue, 5);
    EXPECT_EQ(info.ValueOf(u"A"), 7);
    EXPECT_EQ(info.NameOf(7), u"A");
    EXPECT_EQ(info.NameOf(5), u"A") << "the old value keeps its name";
}

}  // namespace
