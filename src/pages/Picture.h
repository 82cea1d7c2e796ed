#pragma once

#include <memory>
#include <vector>

#include <QWidget>

#include "pages/SymbolControls.h"
#include "present/SchematicTexts.h"

class QSvgRenderer;

// Shows one of the program's pictures, chosen by its id, shrunk to fit and
// centred; never enlarged.
class CPicture : public QWidget, public CEditSymBase {
    Q_OBJECT

public:
    explicit CPicture(QWidget* parent = nullptr);
    ~CPicture() override;

    // Shows picture `id`. Asking again for the id last asked for does nothing
    // and succeeds, even when that load failed. False when there is no such
    // picture; the previous one then stays.
    bool SetPicture(int id);
    int PictureId() const { return pictureId_; }
    bool HasPicture() const;
    // Where the picture is drawn in a client area of the given size.
    static QRect TargetBox(const QSize& natural, const QSize& client);
    // Texts drawn over the picture, scaled with it; they stay with the picture until replaced.
    void SetTexts(std::vector<qxr::PictureText> texts);
    const std::vector<qxr::PictureText>& Texts() const { return texts_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<QSvgRenderer> picture_;
    std::vector<qxr::PictureText> texts_;
    int pictureId_ = -1;
};
