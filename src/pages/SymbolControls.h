#pragma once

#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QString>

class CSymbol;

// Change reports are made only while notifyCount is not 0; the program
// lowers it around its own text changes.
class CMfcCtrlNotify {
public:
    int notifyCount = 0;
};

// The binding of a control to the symbol it shows.
class CEditSymBase {
public:
    virtual ~CEditSymBase() = default;

    int showInForce = 0;  // 1: the value in force; 0: the calculated value
    bool readOnly = false;
    int precision = 0;  // decimals shown
    CSymbol* symbol = nullptr;
};

// How a symbol's value is shown and coloured; shared by the controls.
namespace symbol_display {

inline const QColor kOutOfRange{255, 0, 0};
inline const QColor kProposal{200, 200, 255};
// Deeper shades of both for a dark palette, under whose light text the
// colours above would be unreadable.
inline const QColor kOutOfRangeOnDark{150, 20, 20};
inline const QColor kProposalOnDark{50, 50, 125};

// The colours for a palette: the light ones unless its text is lighter than its base.
QColor OutOfRangeColor(const QPalette& palette);
QColor ProposalColor(const QPalette& palette);

// value / scale in fixed notation with the given decimals.
QString FormatValue(const CSymbol& symbol, double value, int precision);
// What a control shows for a value of a symbol: its enumeration name, or
// FormatValue with the given decimals.
QString ShownText(CSymbol& symbol, double value, int precision);
// What a row shows for a symbol the design does not use: "na".
QString NotApplicableText();
// The text of the one list entry of a proposal combo, e.g. "12.500(default)".
QString DefaultEntryText(const CSymbol& symbol, int precision);
// A typed number as the symbol stores it, read like the C library reads a
// number: leading blanks skipped, the longest numeric prefix, 0 when there is none.
double ParseTypedNumber(const QString& text);
bool IsEnumeration(CSymbol& symbol);

}  // namespace symbol_display

// A line edit of a row. The undo and redo keys go to the design's history,
// not to the edit's own record of its text.
class RowLineEdit : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

protected:
    bool event(QEvent* event) override;
};

// An edit that reports the user's changes to its page.
class CMfcCtrlEdit : public RowLineEdit, public CMfcCtrlNotify {
    Q_OBJECT

public:
    explicit CMfcCtrlEdit(QWidget* parent = nullptr);

    void SetBackground(const QColor& color);
    void ResetColors();
    // What is painted: the background, or the read-only grey for a read-only edit.
    QColor PaintedBackground() const;

signals:
    void Edited(CMfcCtrlEdit* edit);

private:
    QColor background_;
};

// An edit showing a numeric or enumeration symbol.
class CEditSymDouble : public CMfcCtrlEdit, public CEditSymBase {
    Q_OBJECT

public:
    using CMfcCtrlEdit::CMfcCtrlEdit;

    // Re-reads the symbol; the hint control (the one being typed into) keeps its text.
    void RefreshEdit(const QWidget* hintControl);
};

// A combo showing an enumeration symbol, or a numeric symbol with its
// proposal as the one list entry.
class CEditSymCombo : public QComboBox, public CMfcCtrlNotify, public CEditSymBase {
    Q_OBJECT

public:
    explicit CEditSymCombo(bool editable, QWidget* parent = nullptr);

    void RefreshCombo(const QWidget* hintControl);
    void FillEnumList();
    // Selects the first entry whose text equals text exactly; no match changes nothing.
    void SelectByText(const QString& text);
    void SetBackground(const QColor& color);
    void ResetColors();
    QColor Background() const { return background_; }
    // Sets the text without reporting it as the user's.
    void SetTextQuietly(const QString& text);

signals:
    void Changed(CEditSymCombo* combo);
    void Selected(CEditSymCombo* combo, int index);

private:
    QColor background_;
};
