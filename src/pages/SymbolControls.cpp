#include "pages/SymbolControls.h"

#include <clocale>
#include <cstdlib>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPalette>

#include <locale.h>

#include "model/Symbol.h"
#include "present/ValueText.h"

namespace symbol_display {

QString FormatValue(const CSymbol& symbol, double value, int precision)
{
    return QString::fromStdString(qxr::FormatValue(symbol, value, precision));
}

QString ShownText(CSymbol& symbol, double value, int precision)
{
    return QString::fromStdString(qxr::ShownText(symbol, value, precision));
}

QString NotApplicableText()
{
    return QCoreApplication::translate("CEditSymBase", "na");
}

QString DefaultEntryText(const CSymbol& symbol, int precision)
{
    return FormatValue(symbol, symbol.calcValue, precision) + QCoreApplication::translate("CEditSymCombo", "(default)");
}

double ParseTypedNumber(const QString& text)
{
    // The C locale, so that the decimal point is "." whatever the user's locale says.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const QByteArray bytes = text.toUtf8();
    return strtod_l(bytes.constData(), nullptr, cLocale);
}

bool IsEnumeration(CSymbol& symbol)
{
    return symbol.GetEnum() != nullptr;
}

}  // namespace symbol_display

using namespace symbol_display;

namespace {

double ShownValue(const CSymbol& symbol, int showInForce)
{
    return showInForce == 1 ? symbol.Value() : symbol.calcValue;
}

void PaintBase(QWidget& widget, const QColor& color)
{
    QPalette palette = widget.palette();
    if (palette.color(QPalette::Base) == color)
        return;
    palette.setColor(QPalette::Base, color);
    widget.setPalette(palette);
}

bool IsHistoryKey(const QKeyEvent& key)
{
    const QKeyCombination combination = key.keyCombination();
    return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) ||
           combination == (Qt::CTRL | Qt::SHIFT | Qt::Key_Z) || combination == (Qt::CTRL | Qt::Key_Y);
}

QColor WindowColor()
{
    return QPalette().color(QPalette::Base);
}

bool IsDark(const QPalette& palette)
{
    return palette.color(QPalette::Text).lightness() > palette.color(QPalette::Base).lightness();
}

}  // namespace

QColor symbol_display::OutOfRangeColor(const QPalette& palette)
{
    return IsDark(palette) ? kOutOfRangeOnDark : kOutOfRange;
}

QColor symbol_display::ProposalColor(const QPalette& palette)
{
    return IsDark(palette) ? kProposalOnDark : kProposal;
}

bool RowLineEdit::event(QEvent* event)
{
    // Left unaccepted, the key reaches the window's Undo and Redo shortcuts.
    if (event->type() == QEvent::ShortcutOverride && IsHistoryKey(*static_cast<QKeyEvent*>(event)))
        return false;
    return QLineEdit::event(event);
}

CMfcCtrlEdit::CMfcCtrlEdit(QWidget* parent) : RowLineEdit(parent), background_(WindowColor())
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (notifyCount != 0)
            emit Edited(this);
    });
}

void CMfcCtrlEdit::SetBackground(const QColor& color)
{
    background_ = color;
    PaintBase(*this, PaintedBackground());
}

void CMfcCtrlEdit::ResetColors()
{
    SetBackground(WindowColor());
}

QColor CMfcCtrlEdit::PaintedBackground() const
{
    return isReadOnly() ? QPalette().color(QPalette::Window) : background_;
}

void CEditSymDouble::RefreshEdit(const QWidget* hintControl)
{
    CSymbol& shown = *symbol;
    const double value = ShownValue(shown, showInForce);
    if (this != hintControl) {
        --notifyCount;
        setText(shown.inUse ? ShownText(shown, value, precision) : NotApplicableText());
        ++notifyCount;
    }
    setReadOnly(readOnly);
    if (shown.inUse && shown.IsOutsideLimits())
        SetBackground(OutOfRangeColor(QPalette()));
    else
        ResetColors();
    setEnabled(shown.inUse);
}

CEditSymCombo::CEditSymCombo(bool editable, QWidget* parent) : QComboBox(parent), background_(WindowColor())
{
    if (editable) {
        setLineEdit(new RowLineEdit(this));
        // The list holds one proposal; typing must neither complete to it nor add entries.
        setCompleter(nullptr);
        setInsertPolicy(QComboBox::NoInsert);
        connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
            if (notifyCount != 0)
                emit Changed(this);
        });
    }
    connect(this, &QComboBox::activated, this, [this](int index) { emit Selected(this, index); });
}

void CEditSymCombo::SetTextQuietly(const QString& text)
{
    --notifyCount;
    setEditText(text);
    ++notifyCount;
}

void CEditSymCombo::RefreshCombo(const QWidget* hintControl)
{
    CSymbol& shown = *symbol;
    const bool enumeration = IsEnumeration(shown);
    const double value = ShownValue(shown, showInForce);
    if (this != hintControl) {
        if (enumeration)
            SelectByText(ShownText(shown, value, precision));
        else
            SetTextQuietly(shown.inUse ? FormatValue(shown, value, precision) : NotApplicableText());
    }
    if (!enumeration) {
        // Replacing the list must not touch the text the user sees or types.
        const QString text = currentText();
        --notifyCount;
        clear();
        addItem(DefaultEntryText(shown, precision));
        setCurrentIndex(-1);
        setEditText(text);
        ++notifyCount;
    }
    if (shown.inUse && shown.IsOutsideLimits())
        SetBackground(OutOfRangeColor(QPalette()));
    else if (shown.inUse && !enumeration && !shown.userSet)
        SetBackground(ProposalColor(QPalette()));
    else
        ResetColors();
    setEnabled(shown.inUse);
}

void CEditSymCombo::FillEnumList()
{
    CSymbol& shown = *symbol;
    const QString current = ShownText(shown, shown.Value(), precision);
    clear();
    for (const auto& [name, value] : shown.GetEnum()->GetTypeInfo().byName)
        addItem(QString::fromStdU16String(name));
    SelectByText(current);
}

void CEditSymCombo::SelectByText(const QString& text)
{
    const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        setCurrentIndex(index);
}

void CEditSymCombo::SetBackground(const QColor& color)
{
    background_ = color;
    PaintBase(*this, color);
    if (lineEdit() != nullptr)
        PaintBase(*lineEdit(), color);
}

void CEditSymCombo::ResetColors()
{
    SetBackground(WindowColor());
}
