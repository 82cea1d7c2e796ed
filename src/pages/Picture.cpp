#include "pages/Picture.h"

#include <QPainter>
#include <QSvgRenderer>

#include "figures/PictureTexts.h"

CPicture::CPicture(QWidget* parent) : QWidget(parent)
{
}

CPicture::~CPicture() = default;

bool CPicture::SetPicture(int id)
{
    if (id == pictureId_)
        return true;
    pictureId_ = id;
    const QByteArray drawing = PictureData(id);
    if (drawing.isEmpty())
        return false;
    auto picture = std::make_unique<QSvgRenderer>(drawing);
    const bool decoded = picture->isValid();
    picture_ = decoded ? std::move(picture) : nullptr;
    if (parentWidget() != nullptr)
        parentWidget()->update();
    update();
    return decoded;
}

bool CPicture::HasPicture() const
{
    return picture_ != nullptr;
}

QRect CPicture::TargetBox(const QSize& natural, const QSize& client)
{
    int pw = natural.width();
    int ph = natural.height();
    const int w = client.width();
    const int h = client.height();
    if (w < pw && pw > 0) {
        ph = ph * w / pw;
        pw = w;
    }
    if (h < ph && ph > 0) {
        pw = pw * h / ph;
        ph = h;
    }
    return QRect(w / 2 - pw / 2, h / 2 - ph / 2, pw / 2 * 2, ph / 2 * 2);
}

void CPicture::paintEvent(QPaintEvent*)
{
    if (!picture_)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect target = TargetBox(picture_->defaultSize(), size());
    picture_->render(&painter, target);
    PaintPictureTexts(painter, target, picture_->viewBoxF(), texts_);
}

void CPicture::SetTexts(std::vector<qxr::PictureText> texts)
{
    texts_ = std::move(texts);
    update();
}
