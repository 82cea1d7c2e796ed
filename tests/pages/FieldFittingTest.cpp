#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "pages/FieldFitting.h"

namespace {

// A page laid out like a template: a group box from x 10 to 309, a label
// at its left, the field, and a neighbour on the field's line further right.
struct FieldPage {
    QWidget page;
    QGroupBox* group = new QGroupBox(&page);
    QLabel* label = new QLabel("Fx:", &page);
    QLineEdit* field = new QLineEdit(&page);
    QLabel* neighbour = new QLabel("RHPZ", &page);

    explicit FieldPage(int neighbourLeft)
    {
        page.resize(400, 100);
        group->setGeometry(10, 0, 300, 60);
        label->setGeometry(20, 20, 30, 16);
        field->setGeometry(100, 20, 40, 18);
        neighbour->setGeometry(neighbourLeft, 22, 30, 14);
    }
};

TEST(FieldFitting, WidensRightThenLeftWithinTheRoomBesideIt)
{
    const QString text = QStringLiteral("-188 / -188 dB/dec");
    FieldPage wide(280);
    const int needed = LineEditWidthFor(*wide.field, text);
    ASSERT_GT(needed, 40);
    ASSERT_LT(needed, 170);
    EXPECT_TRUE(FitFieldToText(*wide.field, text));
    EXPECT_EQ(wide.field->geometry(), QRect(100, 20, needed, 18));  // the room on the right sufficed

    FieldPage narrow(100 + needed - 20);
    EXPECT_TRUE(FitFieldToText(*narrow.field, text));
    EXPECT_EQ(narrow.field->width(), needed);
    EXPECT_EQ(narrow.field->geometry().right(), narrow.neighbour->x() - 3);
    EXPECT_GT(narrow.field->x(), narrow.label->geometry().right());

    FieldPage cramped(150);
    EXPECT_FALSE(FitFieldToText(*cramped.field, text));
    EXPECT_LT(cramped.field->geometry().right(), cramped.neighbour->x());
    EXPECT_GT(cramped.field->x(), cramped.label->geometry().right());
}

TEST(FieldFitting, StaysWithinItsGroupBoxAndKeepsAFieldThatFits)
{
    FieldPage page(380);  // the neighbour is outside the box
    const QString text = QStringLiteral("0.0888 / 88.8 MHz 0.0888 / 88.8 MHz");
    FitFieldToText(*page.field, text);
    EXPECT_LT(page.field->geometry().right(), page.group->geometry().right());

    FieldPage roomy(280);
    roomy.field->resize(200, 18);
    EXPECT_TRUE(FitFieldToText(*roomy.field, QStringLiteral("1 Hz")));
    EXPECT_EQ(roomy.field->geometry(), QRect(100, 20, 200, 18));
}

}  // namespace
