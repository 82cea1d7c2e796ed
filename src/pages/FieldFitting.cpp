#include "pages/FieldFitting.h"

#include <algorithm>

#include <QGroupBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// The gap kept to a neighbour and to a group box's frame.
constexpr int kGap = 3;

// Two controls share a line when their heights overlap by more than a third.
bool SharesLine(const QRect& a, const QRect& b)
{
    const int overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) + 1;
    return overlap * 3 > std::min(a.height(), b.height());
}

// How far the field may reach to either side among its shown siblings.
struct Room {
    int left;
    int right;
};

Room RoomBeside(const QWidget& field)
{
    const QWidget& page = *field.parentWidget();
    const QRect own = field.geometry();
    Room room{0, page.width() - 1};
    for (const QWidget* sibling : page.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (sibling == &field || sibling->isHidden())
            continue;
        const QRect other = sibling->geometry();
        if (qobject_cast<const QGroupBox*>(sibling) != nullptr && other.contains(own.center())) {
            room.left = std::max(room.left, other.left() + kGap);
            room.right = std::min(room.right, other.right() - kGap);
        } else if (SharesLine(own, other) && other.left() > own.right()) {
            room.right = std::min(room.right, other.left() - kGap);
        } else if (SharesLine(own, other) && other.right() < own.left()) {
            room.left = std::max(room.left, other.right() + kGap);
        }
    }
    return room;
}

}  // namespace

// As QLineEdit measures its own size hint: the text, its margins and the frame.
int LineEditWidthFor(const QLineEdit& field, const QString& text)
{
    constexpr int kInnerMargins = 4;  // QLineEdit keeps two pixels either side of its text
    constexpr int kCursor = 1;
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.lineWidth = field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field) : 0;
    const QMargins margins = field.textMargins() + field.contentsMargins();
    const QSize contents(field.fontMetrics().horizontalAdvance(text) + kInnerMargins + kCursor + margins.left() +
                             margins.right(),
                         field.height());
    return field.style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, &field).width();
}

bool FitFieldToText(QLineEdit& field, const QString& longest)
{
    const int needed = LineEditWidthFor(field, longest);
    QRect rect = field.geometry();
    if (rect.width() >= needed)
        return true;
    const Room room = RoomBeside(field);
    rect.setRight(std::max(rect.right(), std::min(room.right, rect.left() + needed - 1)));
    rect.setLeft(std::min(rect.left(), std::max(room.left, rect.right() + 1 - needed)));
    field.setGeometry(rect);
    return rect.width() >= needed;
}
