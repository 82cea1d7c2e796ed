#pragma once

#include <vector>

#include <QFont>
#include <QString>
#include <QWidget>

class CEditSymCombo;
class CEditSymDouble;
class CMfcCtrlEdit;
class CPicture;
class CQXRDoc;
class CSymbol;
class QLabel;
class QTableWidget;
namespace qxr {
struct TemplateControl;
}

// One declared row of a page and the controls built for it; the page owns
// the controls.
struct CDialogTabRow {
    QString symbolName;
    int mode = 0;
    QString description;
    int precision = 0;
    QLabel* declaringStatic = nullptr;
    QLabel* label = nullptr;
    CEditSymDouble* valueEdit = nullptr;
    CEditSymCombo* combo = nullptr;
    CPicture* picture = nullptr;
    QLabel* unit = nullptr;
    CSymbol* symbol = nullptr;
};

// A design page built from its template: every caption that declares a
// symbol becomes a row of label, value controls and unit, kept in step
// with the design. An edit is a change of the document: one undo step,
// after which the design is recalculated and every view refreshed.
class CDialogTab : public QWidget {
    Q_OBJECT

public:
    CDialogTab(int templateId, CQXRDoc& document, QWidget* parent = nullptr);
    ~CDialogTab() override;

    // Creates the template's controls and the rows; false when the template is missing.
    virtual bool OnInitDialog();
    // Applies a document update to every row; hintControl is the control
    // whose edit caused it, or none.
    virtual void UpdatePage(int hint, QWidget* hintControl);

    const std::vector<CDialogTabRow>& Rows() const { return rows_; }
    // The template control with the given object name, e.g. "control1019".
    QWidget* FindTemplateControl(const QString& name) const;
    // The object name of the template control with a numeric id: "control1019".
    static QString ControlName(int id);

    QString title;

protected:
    // A read-only table with the headings in the place of the template's
    // placeholder control, which it hides.
    QTableWidget* TableAt(int placeholderId, const QStringList& headings);
    // Makes the widget for one template control; pages with controls of
    // their own kind add them here.
    virtual QWidget* CreateTemplateControl(const qxr::TemplateControl& control);

    CQXRDoc& document_;

private:
    void CreateFonts();
    void ParseTemplate();
    void BuildRow(CDialogTabRow& row);
    void NameRowControls(const CDialogTabRow& row);
    void WidenIntoLabel(QWidget& edit, QLabel& label, int precision);
    void WidenLeftToText(QWidget& caption, const QString& text);
    void ConnectEdit(CEditSymDouble* edit);
    void ConnectCombo(CEditSymCombo* combo);
    void ApplyToRow(const CDialogTabRow& row, int hint, QWidget* hintControl);

    void OnSymbolEdited(CMfcCtrlEdit* edit);
    void OnComboChanged(CEditSymCombo* combo);
    void OnComboSelect(CEditSymCombo* combo);
    QString StepName(const QWidget* control) const;

    int templateId_;
    std::vector<CDialogTabRow> rows_;
    QFont headerFont1_;
    QFont headerFont2_;
    int baseFontHeight_ = 0;  // negative pixel height of the page font
    double pixelScale_ = 1.0;
};
