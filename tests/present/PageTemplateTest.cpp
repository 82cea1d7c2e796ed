#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "present/PageLayout.h"
#include "present/PageTemplate.h"

namespace qxr {

void PrintTo(const Rect& rect, std::ostream* out)
{
    *out << "{" << rect.x << ", " << rect.y << ", " << rect.width << ", " << rect.height << "}";
}

}  // namespace qxr

namespace {

using namespace qxr;

struct ExpectedCaption {
    int templateId;
    const char* caption;
    Rect rect;  // dialog units
};

// Every caption of the design pages and its rectangle, in template order.
const ExpectedCaption kCaptions[] = {
    {318, "ad,In,0,*", {7, 33, 237, 18}},
    {318, "V__IN_MIN,In,1,*", {7, 66, 237, 18}},
    {318, "V__IN_NORM,In,1,*", {7, 87, 237, 18}},
    {318, "V__IN_MAX,In,1,*", {7, 107, 237, 18}},
    {318, "f__LINE,In,0,*", {7, 126, 237, 18}},
    {318, "P__OUT,In,1,*", {7, 145, 237, 18}},
    {318, "f__S,In,0,*", {7, 164, 237, 18}},
    {318, "V__OUT,In,1,*", {7, 183, 237, 18}},
    {318, "t__H,In,0,*", {7, 202, 237, 18}},
    {318, "V__OUT_MIN,In,1,Minimum Vout After 1 th", {7, 221, 237, 18}},
    {318, "h,1,Design Parameters", {7, 7, 237, 18}},
    {321,
     "D__MAX,Cal,3,Duty Cycle at the Peak of Low Line Input - Max current ripple occurs at peak of low line.",
     {7, 40, 237, 18}},
    {321, "PERC_I__L_RIPPLE,In,0,*", {7, 61, 237, 18}},
    {321, "I__L_RIPPLE_PK_PK,Cal,3,*", {7, 82, 237, 18}},
    {321, "L__MIN,Usr,1,*", {7, 103, 237, 18}},
    {321, "C__OUT,Usr,3,*", {7, 124, 237, 18}},
    {321, "V__RIPPLE_PK_PK,Cal,3,*", {7, 145, 237, 18}},
    {321, "V__RIPPLE_PK,Cal,3,*", {7, 166, 237, 18}},
    {321, "I__COUT_PK,Cal,3,*", {7, 187, 237, 18}},
    {321, "h,1,Power Stage Component Selection", {7, 7, 237, 18}},
    {322, "I__IN_PEAK,Cal,3,*", {7, 34, 237, 18}},
    {322, "V__RSENSE,In,3,*", {7, 55, 237, 18}},
    {322, "R__SENSE,Usr,1,*", {7, 75, 237, 18}},
    {322, "h,1,Current Sense", {7, 7, 237, 18}},
    {324, "h,1,Multiplier", {7, 7, 237, 18}},
    {324, "I__IAC_MAX,Cal,1,*", {7, 31, 237, 18}},
    {324, "R__AC,Usr,2,*", {7, 51, 237, 18}},
    {324, "R__VFF,Usr,2,*", {7, 71, 237, 18}},
    {324, "H3__VFF,In,1,*", {7, 91, 237, 18}},
    {324, "V__FF_GAIN,Cal,3,*", {7, 111, 237, 18}},
    {324, "V__FF_POLE,Cal,3,*", {7, 131, 237, 18}},
    {324, "V__FF_CO,Cal,3,*", {7, 151, 237, 18}},
    {324, "C__VFF,Usr,3,*", {7, 171, 237, 18}},
    {324, "V__AOUT_MAX,In,3,*", {7, 191, 237, 18}},
    {324, "I__AC_PK,Cal,3,*", {7, 211, 237, 18}},
    {324, "I__AC_RMS_MIN,Cal,3,*", {7, 231, 237, 18}},
    {324, "V__FF_MIN,Cal,1,*", {7, 251, 237, 18}},
    {324, "K,Cal,3,*", {7, 271, 237, 18}},
    {324, "I__MOUT_MAX,Cal,3,*", {7, 291, 237, 18}},
    {324, "R__MOUT,Usr,3,*", {7, 311, 237, 18}},
    {325, "h,1,Voltage Loop", {2, 7, 247, 18}},
    {325, "dia__voltage_loop,Pic,*", {0, 32, 251, 104}},
    {325, "R__IN,In,3,*", {0, 140, 251, 18}},
    {325, "V__REF,In,3,*", {0, 160, 251, 18}},
    {325, "R__D,Usr,3,*", {0, 180, 251, 18}},
    {325, "DeltaV__AOUT,Cal,2,*", {0, 200, 251, 18}},
    {325, "F__X_VLOOP,In,0,*", {0, 220, 251, 18}},
    {325, "PM__VLOOP,In,0,*", {0, 240, 251, 18}},
    {325, "H2__ON_VOUT,Cal,3,*", {0, 260, 251, 18}},
    {325, "H3__LINE_IN,Cal,3,*", {0, 280, 251, 18}},
    {325, "v_fcp0,Usr,3,*", {0, 301, 251, 18}},
    {325, "v_fcp1,Usr,3,*", {0, 324, 251, 18}},
    {325, "v_fcz1,Usr,3,*", {0, 346, 251, 18}},
    {325, "C__F,Usr,3,*", {0, 368, 251, 18}},
    {325, "R__F,Usr,3,*", {0, 388, 251, 18}},
    {325, "C__Z,Usr,3,*", {0, 408, 251, 18}},
    {326, "h,1,Current Loop", {2, 7, 249, 18}},
    {326, "F__X_ILOOP,In,0,*", {0, 30, 251, 18}},
    {326, "PM__ILOOP,In,0,*", {0, 53, 251, 18}},
    {326, "V__RAMP,In,3,*", {0, 76, 251, 18}},
    {326, "dia__current_loop,Pic,*", {0, 99, 251, 104}},
    {326, "i_fcp0,Usr,0,*", {0, 208, 251, 18}},
    {326, "i_fcp1,Usr,0,*", {0, 231, 251, 18}},
    {326, "i_fcz1,Usr,0,*", {0, 254, 251, 18}},
    {326, "R__I,Usr,3,*", {0, 277, 251, 18}},
    {326, "R__F_I,Usr,3,*", {0, 300, 251, 18}},
    {326, "C__Z_I,Usr,3,*", {0, 323, 251, 18}},
    {326, "C__P_I,Usr,0,*", {0, 346, 251, 18}},
    {327, "h,2,Soft Start", {2, 7, 249, 18}},
    {327, "T__SS,In,3,*", {0, 36, 251, 18}},
    {327, "C__SS,Usr,3,*", {0, 59, 251, 18}},
    {327, "h,2,Start Up", {0, 90, 251, 18}},
    {327, "T__START,In,0,*", {0, 111, 251, 18}},
    {327, "C__TOT,In,3,*", {0, 132, 251, 18}},
    {327, "V__UVLO,Cal,3,*", {0, 153, 251, 18}},
    {327, "R__SHUNT,Usr,3,*", {0, 174, 251, 18}},
    {329, "h,2,Clock Component Calculation", {0, 7, 251, 18}},
    {329, "C__T,In,0,*", {0, 30, 251, 18}},
    {329, "R__T,Usr,3,*", {0, 53, 251, 18}},
    {329, "h,2,VEA Reference Component Selection", {0, 76, 251, 18}},
    {329, "R__REF_HI,In,3,*", {0, 99, 251, 18}},
    {329, "R__REF_LO,Usr,3,*", {0, 122, 251, 18}},
    {329, "h,2,OVP / EN Component Selection", {0, 145, 251, 18}},
    {329, "V__OUT_MAX,In,1,*", {0, 168, 251, 18}},
    {329, "R__OVP_HI,In,3,*", {0, 191, 251, 18}},
    {329, "R__OVP_LO,Usr,3,*", {0, 214, 251, 18}},
    {329, "h,2,PKLMT Component Selection", {0, 237, 251, 18}},
    {329, "I__TRIP,In,3,*", {0, 260, 251, 18}},
    {329, "R__PKLMT_HI,In,3,*", {0, 283, 251, 18}},
    {329, "R__PKLMT_LO,Usr,3,*", {0, 306, 251, 18}},
    {332, "h,1,Multiplier", {7, 7, 237, 18}},
    {332, "H3__VFF,In,3,*", {7, 27, 237, 18}},
    {332, "V__FF_GAIN,Cal,3,*", {7, 48, 237, 18}},
    {332, "V__FF_CO,Cal,3,*", {7, 69, 237, 18}},
    {332, "F__SAMP_V,Usr,3,*", {7, 91, 237, 18}},
    {332, "h,2,2p2z Filter Coefficients", {7, 119, 237, 18}},
    {332, "B0_VFF,Cal,10,*", {7, 137, 237, 18}},
    {332, "B1_VFF,Cal,10,*", {7, 158, 237, 18}},
    {332, "B2_VFF,Cal,10,*", {7, 180, 237, 18}},
    {332, "A1_VFF,Cal,10,*", {7, 202, 237, 18}},
    {332, "A2_VFF,Cal,10,*", {7, 224, 237, 18}},
    {332, "h,2,Firmware Coefficients", {7, 272, 237, 18}},
    {332, "disc__DIG,In,0,*", {7, 293, 237, 18}},
    {332, "fmt__COEF,In,0,*", {7, 315, 237, 18}},
    {332, "N__FRAC,In,0,*", {7, 337, 237, 18}},
    {333, "h,1,Voltage Loop", {2, 7, 247, 18}},
    {333, "F__X_VLOOP,In,0,*", {0, 27, 251, 18}},
    {333, "PM__VLOOP,In,0,*", {0, 48, 251, 18}},
    {333, "H2__ON_VOUT,Cal,3,*", {0, 67, 251, 18}},
    {333, "H3__LINE_IN,Cal,3,*", {0, 88, 251, 18}},
    {333, "v_fcp0,Usr,3,*", {0, 109, 251, 18}},
    {333, "v_fcp1,Usr,3,*", {0, 132, 251, 18}},
    {333, "v_fcz1,Usr,3,*", {0, 155, 251, 18}},
    {333, "F__SAMP_V,Usr,3,*", {0, 178, 251, 18}},
    {333, "h,2,2p2z Controller Coefficients", {0, 203, 249, 18}},
    {333, "B0_V,Cal,10,*", {0, 221, 251, 18}},
    {333, "B1_V,Cal,10,*", {0, 243, 251, 18}},
    {333, "B2_V,Cal,10,*", {0, 265, 251, 18}},
    {333, "A1_V,Cal,10,*", {0, 287, 251, 18}},
    {333, "A2_V,Cal,10,*", {0, 309, 251, 18}},
    {333, "h,2,Firmware Coefficients", {0, 357, 251, 18}},
    {333, "disc__DIG,In,0,*", {0, 378, 251, 18}},
    {333, "fmt__COEF,In,0,*", {0, 400, 251, 18}},
    {333, "N__FRAC,In,0,*", {0, 422, 251, 18}},
    {334, "h,1,Current Loop", {2, 7, 249, 18}},
    {334, "F__X_ILOOP,In,0,*", {0, 30, 251, 18}},
    {334, "PM__ILOOP,In,0,*", {0, 53, 251, 18}},
    {334, "F__SAMP,Usr,0,*", {0, 76, 251, 18}},
    {334, "T__D,In,1,*", {0, 100, 251, 18}},
    {334, "i_fcp0,Usr,0,*", {0, 123, 251, 18}},
    {334, "i_fcp1,Usr,0,*", {0, 146, 251, 18}},
    {334, "i_fcz1,Usr,0,*", {0, 169, 251, 18}},
    {334, "h,2,2p2z Controller Coefficients", {0, 196, 249, 18}},
    {334, "B0_I,Cal,10,*", {0, 219, 251, 18}},
    {334, "B1_I,Cal,10,*", {0, 243, 251, 18}},
    {334, "B2_I,Cal,10,*", {0, 267, 251, 18}},
    {334, "A1_I,Cal,10,*", {0, 292, 251, 18}},
    {334, "A2_I,Cal,10,*", {0, 318, 251, 18}},
    {334, "h,2,Firmware Coefficients", {0, 368, 251, 18}},
    {334, "disc__DIG,In,0,*", {0, 389, 251, 18}},
    {334, "fmt__COEF,In,0,*", {0, 411, 251, 18}},
    {334, "N__FRAC,In,0,*", {0, 433, 251, 18}},
};

TEST(PageTemplates, CaptionsAndRectanglesInTemplateOrder)
{
    std::map<int, std::vector<const ExpectedCaption*>> byTemplate;
    for (const ExpectedCaption& expected : kCaptions)
        byTemplate[expected.templateId].push_back(&expected);
    ASSERT_EQ(byTemplate.size(), 11u);
    for (const auto& [id, expected] : byTemplate) {
        const std::optional<PageTemplate> page = LoadPageTemplate(id);
        ASSERT_TRUE(page) << id;
        std::vector<const TemplateControl*> statics;
        for (const TemplateControl& control : page->controls) {
            if (control.className == "QLabel")
                statics.push_back(&control);
        }
        ASSERT_EQ(statics.size(), expected.size()) << id;
        for (std::size_t i = 0; i < statics.size(); ++i) {
            EXPECT_EQ(statics[i]->text, expected[i]->caption) << id << " #" << i;
            EXPECT_EQ(statics[i]->rect, expected[i]->rect) << id << " " << expected[i]->caption;
        }
    }
}

TEST(PageTemplates, ButtonsPictureAndSizes)
{
    struct Case {
        int id;
        Size size;
        const char* control;
        Rect rect;
    };
    const Case cases[] = {
        {332, {251, 409}, "control1019", {159, 248, 73, 14}},
        {333, {251, 445}, "control1020", {167, 333, 73, 14}},
        {334, {251, 455}, "control1021", {168, 344, 73, 14}},
        {335, {167, 144}, "control1013", {16, 30, 133, 90}},
        {318, {251, 424}, nullptr, {}},
        {325, {251, 448}, nullptr, {}},
    };
    for (const Case& c : cases) {
        const std::optional<PageTemplate> page = LoadPageTemplate(c.id);
        ASSERT_TRUE(page) << c.id;
        EXPECT_EQ(page->size, c.size) << c.id;
        if (c.control == nullptr)
            continue;
        const auto found = std::find_if(page->controls.begin(), page->controls.end(),
                                        [&](const TemplateControl& control) { return control.name == c.control; });
        ASSERT_NE(found, page->controls.end()) << c.control;
        EXPECT_EQ(found->rect, c.rect);
        EXPECT_EQ(found->text, c.id == 335 ? "Picture" : "Copy to Clipboard");
    }
    EXPECT_FALSE(LoadPageTemplate(999));
    EXPECT_FALSE(ParsePageTemplate("<ui><widget class=\"QWidget\"><broken></ui>"));
    EXPECT_FALSE(ParsePageTemplate("<ui></ui>"));
    EXPECT_FALSE(ParsePageTemplate(""));
}

TEST(PageTemplates, TextsAreDecodedAndFlagsRead)
{
    const std::optional<PageTemplate> page = ParsePageTemplate(
        "<ui><widget class=\"QWidget\"><property name=\"geometry\"><rect><width>20</width><height>10</height></rect>"
        "</property><widget class=\"QLineEdit\" name=\"control7\"><property name=\"text\"><string>a &amp; &#8486;"
        "</string></property><property name=\"visible\"><bool>false</bool></property><property name=\"readOnly\">"
        "<bool>true</bool></property><property name=\"alignment\"><set>Qt::AlignRight|Qt::AlignVCenter</set>"
        "</property></widget></widget></ui>");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->size, (Size{20, 10}));
    ASSERT_EQ(page->controls.size(), 1u);
    const TemplateControl& edit = page->controls[0];
    EXPECT_EQ(edit.className, "QLineEdit");
    EXPECT_EQ(edit.name, "control7");
    EXPECT_EQ(edit.text, "a & \u2126");
    EXPECT_FALSE(edit.visible);
    EXPECT_TRUE(edit.readOnly);
    EXPECT_TRUE(edit.alignRight);
}

TEST(PageTemplates, DialogUnitsFollowTheFont)
{
    const DialogUnits units(6, 13);  // average width 6 px, height 13 px
    EXPECT_EQ(units.ToPixels(Rect{7, 33, 237, 18}), (Rect{11, 54, 355, 29}));
    EXPECT_EQ(units.ToPixels(Size{251, 424}), (Size{377, 689}));
}

TEST(Captions, DeclareHeadersRowsOrNothing)
{
    struct Case {
        const char* caption;
        Declaration::Kind kind;
        const char* symbol;  // or header level
        int mode;
        int precision;
        const char* description;  // or header title
    };
    using K = Declaration::Kind;
    const Case cases[] = {
        {"ad,In,0,*", K::Row, "ad", 0, 0, "*"},
        {"L__MIN,Usr,1,*", K::Row, "L__MIN", 1, 1, "*"},
        {"B0_I,Cal,10,*", K::Row, "B0_I", 2, 10, "*"},
        {"dia__voltage_loop,Pic,*", K::Row, "dia__voltage_loop", 3, 0, "*"},
        {"V__OUT_MIN,In,1,Minimum Vout After 1 th", K::Row, "V__OUT_MIN", 0, 1, "Minimum Vout After 1 th"},
        {"X,usr,7x,desc", K::Row, "X", 0, 7, "desc"},  // unknown mode stays In; digits lead the precision
        {",,X,,Cal,,x3,d,", K::Row, "X", 2, 0, "d"},   // empty fields do not count
        {"h,1,Design Parameters", K::Header, "1", 0, 0, "Design Parameters"},
        {"h,3,Other", K::Header, "3", 0, 0, "Other"},
        {"Picture", K::None, "", 0, 0, ""},
        {"Copy to Clipboard", K::None, "", 0, 0, ""},
        {"a,b,c,d,e", K::None, "", 0, 0, ""},
        {"H,1,x", K::Row, "H", 0, 0, "x"},  // only a lower-case h makes a header
    };
    for (const Case& c : cases) {
        const Declaration d = ParseCaption(c.caption);
        EXPECT_EQ(d.kind, c.kind) << c.caption;
        if (c.kind == K::Header) {
            EXPECT_EQ(d.level, c.symbol);
            EXPECT_EQ(d.title, c.description);
        } else if (c.kind == K::Row) {
            EXPECT_EQ(d.symbol, c.symbol) << c.caption;
            EXPECT_EQ(d.mode, c.mode) << c.caption;
            EXPECT_EQ(d.precision, c.precision) << c.caption;
            EXPECT_EQ(d.description, c.description) << c.caption;
        }
    }
}

TEST(RowPlans, ColumnsFromTheRightEdge)
{
    // A declared rectangle from x 10 to 410, y 50 to 79; font height -11.
    const Rect declared{10, 50, 400, 30};
    const auto span = Rect::Spanning;
    struct Case {
        int mode;
        bool enumeration;
        RowPlan::Value value;
        Rect label, edit, combo;
    };
    using V = RowPlan::Value;
    const Case cases[] = {
        {0, true, V::EnumCombo, span(10, 50, 195, 80), {}, span(200, 50, 385, 80)},
        {0, false, V::InputEdit, span(10, 50, 290, 80), span(295, 54, 385, 69), {}},
        {1, false, V::ProposalEditAndCombo, span(10, 50, 195, 80), span(200, 54, 290, 69), span(295, 50, 385, 80)},
        {2, false, V::ResultEdit, span(10, 50, 290, 80), span(295, 54, 385, 69), {}},
    };
    for (const Case& c : cases) {
        const RowPlan plan = PlanRow(c.mode, c.enumeration, declared, -11);
        EXPECT_EQ(plan.value, c.value) << c.mode;
        EXPECT_EQ(plan.label, c.label) << c.mode;
        EXPECT_EQ(plan.editRect, c.edit) << c.mode;
        EXPECT_EQ(plan.comboRect, c.combo) << c.mode;
        EXPECT_EQ(plan.unit, span(390, 54, 410, 69)) << c.mode;
        EXPECT_EQ(plan.editRect.IsEmpty() || plan.editRect.height == 15, true) << "inset to the font";
    }
    const RowPlan picture = PlanRow(3, false, declared, -11);
    EXPECT_EQ(picture.value, V::Picture);
    EXPECT_EQ(picture.picture, declared);
    EXPECT_TRUE(picture.label.IsEmpty());
}

}  // namespace
