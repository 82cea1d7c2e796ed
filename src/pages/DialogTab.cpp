#include "pages/DialogTab.h"

#include <algorithm>

#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>

#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"
#include "pages/Picture.h"
#include "pages/SymbolControls.h"
#include "present/PageLayout.h"
#include "present/PageTemplate.h"

using namespace symbol_display;
using qxr::Declaration;
using qxr::RowPlan;
using qxr::TemplateControl;

namespace {

QRect ToQRect(const qxr::Rect& rect)
{
    return QRect(rect.x, rect.y, rect.width, rect.height);
}

qxr::Rect FromQRect(const QRect& rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

// A row label. Its text stays the whole description; a description longer
// than the label has room for is shown shortened with an ellipsis, and
// whole in the label's tool tip.
class RowLabel : public QLabel {
public:
    RowLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
    {
        setWordWrap(true);
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        shown_ = FittedText();
        setToolTip(shown_ == text() ? QString() : text());
    }

    void paintEvent(QPaintEvent* event) override
    {
        if (shown_ == text()) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        painter.drawText(contentsRect(), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, shown_);
    }

private:
    bool Fits(const QString& candidate) const
    {
        const QRect needed = fontMetrics().boundingRect(contentsRect(), Qt::TextWordWrap, candidate);
        return needed.height() <= contentsRect().height();
    }

    // The longest run of whole words, followed by an ellipsis, that fits.
    QString FittedText() const
    {
        if (Fits(text()))
            return text();
        QStringList words = text().split(QLatin1Char(' '));
        while (words.size() > 1) {
            words.removeLast();
            const QString candidate = words.join(QLatin1Char(' ')) + QChar(0x2026);
            if (Fits(candidate))
                return candidate;
        }
        return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
    }

    QString shown_;
};

}  // namespace

CDialogTab::CDialogTab(int templateId, CQXRDoc& document, QWidget* parent)
    : QWidget(parent), document_(document), templateId_(templateId)
{
    // The templates are laid out for an 8-point dialog font.
    QFont pageFont = font();
    pageFont.setPointSize(8);
    setFont(pageFont);
}

CDialogTab::~CDialogTab() = default;

bool CDialogTab::OnInitDialog()
{
    const std::optional<qxr::PageTemplate> layout = qxr::LoadPageTemplate(templateId_);
    if (!layout)
        return false;
    const qxr::DialogUnits units(fontMetrics().averageCharWidth(), fontMetrics().height());
    pixelScale_ = units.PixelScale();
    const qxr::Size size = units.ToPixels(layout->size);
    resize(size.width, size.height);
    for (const TemplateControl& control : layout->controls) {
        QWidget* widget = CreateTemplateControl(control);
        widget->setObjectName(FromUtf8(control.name));
        widget->setGeometry(ToQRect(units.ToPixels(control.rect)));
        widget->setVisible(control.visible);
        if (control.alignRight)
            WidenLeftToText(*widget, FromUtf8(control.text));
    }
    CreateFonts();
    ParseTemplate();
    for (CDialogTabRow& row : rows_)
        BuildRow(row);
    UpdatePage(HINT_BIND, nullptr);
    UpdatePage(HINT_VALUES, nullptr);
    UpdatePage(HINT_DOCUMENT, nullptr);
    return true;
}

QWidget* CDialogTab::CreateTemplateControl(const TemplateControl& control)
{
    const std::string& kind = control.className;
    const QString text = FromUtf8(control.text);
    if (kind == "QPushButton")
        return new QPushButton(text, this);
    if (kind == "QCheckBox")
        return new QCheckBox(text, this);
    if (kind == "QGroupBox")
        return new QGroupBox(text, this);
    if (kind == "QLineEdit") {
        auto* edit = new QLineEdit(text, this);
        edit->setReadOnly(control.readOnly);
        return edit;
    }
    auto* label = new QLabel(text, this);
    if (control.alignRight)
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// A read-only table in the place of the template's placeholder.
QTableWidget* CDialogTab::TableAt(int placeholderId, const QStringList& headings)
{
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()), this);
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setStretchLastSection(true);
    if (QWidget* placeholder = FindTemplateControl(ControlName(placeholderId))) {
        table->setGeometry(placeholder->geometry());
        table->setMinimumWidth(placeholder->width());
        placeholder->hide();
    }
    table->show();
    return table;
}

QWidget* CDialogTab::FindTemplateControl(const QString& name) const
{
    return findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
}

QString CDialogTab::ControlName(int id)
{
    return QStringLiteral("control%1").arg(id);
}

void CDialogTab::CreateFonts()
{
    baseFontHeight_ = -QFontInfo(font()).pixelSize();
    headerFont2_ = font();
    headerFont2_.setBold(true);
    headerFont1_ = headerFont2_;
    headerFont1_.setPixelSize(-(baseFontHeight_ + baseFontHeight_ / 2));
}

// Visits the template's controls in their order; captions that declare
// nothing (buttons, plain statics) are left as they are.
void CDialogTab::ParseTemplate()
{
    const QList<QLabel*> statics = findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    for (QLabel* candidate : statics) {
        const Declaration declaration = qxr::ParseCaption(candidate->text().toStdString());
        if (declaration.kind == Declaration::Kind::Header) {
            if (declaration.level == "1")
                candidate->setFont(headerFont1_);
            else if (declaration.level == "2")
                candidate->setFont(headerFont2_);
            candidate->setText(FromUtf8(declaration.title));
        } else if (declaration.kind == Declaration::Kind::Row) {
            CDialogTabRow row;
            row.symbolName = FromUtf8(declaration.symbol);
            row.mode = declaration.mode;
            row.precision = declaration.precision;
            row.description = FromUtf8(declaration.description);
            row.declaringStatic = candidate;
            rows_.push_back(row);
        }
    }
}

void CDialogTab::BuildRow(CDialogTabRow& row)
{
    // The caption only declared the row: neither shown nor read out.
    row.declaringStatic->hide();
    row.declaringStatic->clear();
    row.symbol = document_.model.FindByName(row.symbolName.toStdU16String());
    if (row.symbol == nullptr)
        return;  // a name the catalogue does not know builds nothing
    CSymbol& symbol = *row.symbol;
    const RowPlan plan = qxr::PlanRow(row.mode, IsEnumeration(symbol), FromQRect(row.declaringStatic->geometry()),
                                      baseFontHeight_, pixelScale_);
    const QFont font = row.declaringStatic->font();

    const auto bind = [&](CEditSymBase& control, int showInForce, bool readOnly) {
        control.showInForce = showInForce;
        control.readOnly = readOnly;
        control.precision = row.precision;
        control.symbol = &symbol;
    };
    const auto place = [&](QWidget* widget, const QRect& rect) {
        widget->setGeometry(rect);
        widget->setFont(font);
        widget->show();
    };
    // Inputs and combos take the focus; proposals and results are only read.
    const auto addEdit = [&](int showInForce, bool readOnly, const QRect& rect) {
        auto* edit = new CEditSymDouble(this);
        bind(*edit, showInForce, readOnly);
        if (readOnly)
            edit->setFocusPolicy(Qt::NoFocus);
        place(edit, rect);
        return edit;
    };
    const auto addCombo = [&](bool editable, const QRect& rect) {
        auto* combo = new CEditSymCombo(editable, this);
        bind(*combo, 1, false);
        place(combo, rect);
        return combo;
    };
    switch (plan.value) {
    case RowPlan::Value::EnumCombo:
        row.combo = addCombo(false, ToQRect(plan.comboRect));
        break;
    case RowPlan::Value::InputEdit:
        row.valueEdit = addEdit(1, false, ToQRect(plan.editRect));
        break;
    case RowPlan::Value::ProposalEditAndCombo:
        row.valueEdit = addEdit(0, true, ToQRect(plan.editRect));
        row.combo = addCombo(true, ToQRect(plan.comboRect));
        break;
    case RowPlan::Value::ResultEdit:
        row.valueEdit = addEdit(0, true, ToQRect(plan.editRect));
        break;
    case RowPlan::Value::Picture:
        row.picture = new CPicture(this);
        bind(*row.picture, 1, true);
        row.picture->setAccessibleName(QString::fromStdU16String(symbol.description));
        place(row.picture, ToQRect(plan.picture));
        break;
    case RowPlan::Value::None:
        break;
    }
    if (row.valueEdit != nullptr) {
        row.valueEdit->setAlignment(Qt::AlignCenter);
        ConnectEdit(row.valueEdit);
    }
    if (row.combo != nullptr)
        ConnectCombo(row.combo);
    if (plan.value != RowPlan::Value::Picture) {
        const QString text =
            row.description == QLatin1String("*") ? QString::fromStdU16String(symbol.description) : row.description;
        row.label = new RowLabel(text, this);
        place(row.label, ToQRect(plan.label));
        if (plan.value == RowPlan::Value::ResultEdit)
            WidenIntoLabel(*row.valueEdit, *row.label, row.precision);
        row.unit = new QLabel(QString::fromStdU16String(symbol.unit), this);
        // A unit wider than its column in this font runs on into the margin rather than being cut.
        QRect unitRect = ToQRect(plan.unit);
        unitRect.setWidth(std::max(unitRect.width(), QFontMetrics(font).horizontalAdvance(row.unit->text()) + 2));
        place(row.unit, unitRect);
        NameRowControls(row);
    }
}

// Screen readers announce a row's controls by its description, with its
// unit; an editable drop-down's text field too.
void CDialogTab::NameRowControls(const CDialogTabRow& row)
{
    QWidget* const controls[] = {row.valueEdit, row.combo, row.combo != nullptr ? row.combo->lineEdit() : nullptr};
    for (QWidget* control : controls) {
        if (control == nullptr)
            continue;
        control->setAccessibleName(row.label->text());
        control->setAccessibleDescription(row.unit->text());
        if (row.label->buddy() == nullptr && control->focusPolicy() != Qt::NoFocus)
            row.label->setBuddy(control);
    }
}

// A right-aligned caption wider than its box in this font grows to the left.
void CDialogTab::WidenLeftToText(QWidget& caption, const QString& text)
{
    const int needed = caption.fontMetrics().horizontalAdvance(text) + 2;
    if (caption.width() < needed)
        caption.setGeometry(
            QRect(QPoint(caption.geometry().right() + 1 - needed, caption.y()), caption.geometry().bottomRight()));
}

// A result with many decimals does not fit its column; it takes room from
// its label where the label's text leaves some, so no digit is cut.
void CDialogTab::WidenIntoLabel(QWidget& edit, QLabel& label, int precision)
{
    const QFontMetrics metrics(edit.font());
    const int needed = metrics.horizontalAdvance(QStringLiteral("-8.") + QString(precision, QLatin1Char('8'))) + 8;
    if (edit.width() >= needed)
        return;
    const int labelTextEnd = label.x() + metrics.horizontalAdvance(label.text()) + 6;
    const int left = std::max(labelTextEnd, edit.geometry().right() + 1 - needed);
    if (left >= edit.x())
        return;
    edit.setGeometry(QRect(QPoint(left, edit.y()), edit.geometry().bottomRight()));
    label.setFixedWidth(std::max(0, left - label.x()));
}

// Reports reach the page posted, after the control has finished with the user's input.
void CDialogTab::ConnectEdit(CEditSymDouble* edit)
{
    connect(edit, &CMfcCtrlEdit::Edited, this, &CDialogTab::OnSymbolEdited, Qt::QueuedConnection);
}

void CDialogTab::ConnectCombo(CEditSymCombo* combo)
{
    connect(combo, &CEditSymCombo::Changed, this, &CDialogTab::OnComboChanged, Qt::QueuedConnection);
    connect(
        combo, &CEditSymCombo::Selected, this, [this](CEditSymCombo* source, int) { OnComboSelect(source); },
        Qt::QueuedConnection);
}

void CDialogTab::UpdatePage(int hint, QWidget* hintControl)
{
    for (const CDialogTabRow& row : rows_) {
        if (row.symbol != nullptr)
            ApplyToRow(row, hint, hintControl);
    }
}

void CDialogTab::ApplyToRow(const CDialogTabRow& row, int hint, QWidget* hintControl)
{
    CSymbol& symbol = *row.symbol;
    const bool enumeration = IsEnumeration(symbol);
    const auto tip = [&symbol] { return QString::fromStdU16String(symbol.name + u" - " + symbol.description); };
    if (row.combo != nullptr) {
        if (hint == HINT_BIND) {
            row.combo->setToolTip(tip());
            ++row.combo->notifyCount;
        }
        if ((hint == HINT_BIND || hint == HINT_LISTS) && enumeration)
            row.combo->FillEnumList();
        if (hint == HINT_VALUES)
            row.combo->RefreshCombo(hintControl);
    }
    if (row.valueEdit != nullptr) {
        if (hint == HINT_BIND) {
            row.valueEdit->setToolTip(tip());
            ++row.valueEdit->notifyCount;
        }
        if (hint == HINT_VALUES)
            row.valueEdit->RefreshEdit(hintControl);
    }
    if (row.picture != nullptr) {
        if (hint == HINT_BIND)
            row.picture->setToolTip(tip());
        if (hint == HINT_VALUES) {
            row.picture->SetPicture(TruncToInt32(symbol.Value()));
            row.picture->setEnabled(symbol.inUse);
        }
    }
}

void CDialogTab::OnSymbolEdited(CMfcCtrlEdit* edit)
{
    auto* symbolEdit = static_cast<CEditSymDouble*>(edit);
    CSymbol& symbol = *symbolEdit->symbol;
    const double value = ParseTypedNumber(edit->text()) * symbol.scale;
    document_.ApplyTyping(StepName(edit), edit, [&symbol, value] { symbol.SetUser(value); });
}

void CDialogTab::OnComboChanged(CEditSymCombo* combo)
{
    CSymbol& symbol = *combo->symbol;
    const double value = ParseTypedNumber(combo->currentText()) * symbol.scale;
    document_.ApplyTyping(StepName(combo), combo, [&symbol, value] { symbol.SetUser(value); });
}

// An enumeration takes the chosen member; a proposal combo's one entry
// gives the symbol back to the design's proposal.
void CDialogTab::OnComboSelect(CEditSymCombo* combo)
{
    CSymbol& symbol = *combo->symbol;
    if (IsEnumeration(symbol)) {
        const double value = symbol.GetEnum()->GetTypeInfo().ValueOf(combo->currentText().toStdU16String());
        document_.ApplyChange(
            StepName(combo), [&symbol, value] { symbol.SetUser(value); }, combo);
    } else {
        combo->setCurrentIndex(-1);
        combo->SetTextQuietly(FormatValue(symbol, symbol.calcValue, combo->precision));
        document_.ApplyChange(
            StepName(combo), [&symbol] { symbol.RevertToCalc(); }, combo);
    }
}

// A step is named by the row the control belongs to, as its label reads.
QString CDialogTab::StepName(const QWidget* control) const
{
    for (const CDialogTabRow& row : rows_) {
        if ((row.valueEdit == control || row.combo == control) && row.label != nullptr)
            return row.label->text();
    }
    return QString();
}
