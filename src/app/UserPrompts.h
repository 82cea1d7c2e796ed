#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

// The questions and messages of the document commands, so that the
// commands can be driven without modal dialogs.
class UserPrompts {
public:
    enum class Answer { Yes, No, Cancel };
    enum class RecoveryAnswer { Restore, Discard, Later };

    virtual ~UserPrompts() = default;
    // "Save changes to <title>?"
    virtual Answer AskSaveChanges(QWidget* parent, const QString& title) = 0;
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // "QXR was not closed properly. Restore the unsaved design from <written>?"
    virtual RecoveryAnswer AskRestore(QWidget* parent, const QDateTime& written) = 0;
    // A file to open or to save to; empty when the user cancels.
    virtual QString AskOpenPath(QWidget* parent) = 0;
    virtual QString AskSavePath(QWidget* parent, const QString& suggestion) = 0;
    // A file to export to, of the kind the filter names ("PDF Files (*.pdf)").
    virtual QString AskExportPath(QWidget* parent, const QString& caption, const QString& suggestion,
                                  const QString& filter) = 0;
    // An existing file to read beside the design (a measurement, a design to
    // compare with), of the kinds filter names.
    virtual QString AskImportPath(QWidget* parent, const QString& caption, const QString& filter) = 0;
};

// Message boxes and file dialogs.
class DialogPrompts : public UserPrompts {
public:
    Answer AskSaveChanges(QWidget* parent, const QString& title) override;
    void ShowError(QWidget* parent, const QString& text) override;
    RecoveryAnswer AskRestore(QWidget* parent, const QDateTime& written) override;
    QString AskOpenPath(QWidget* parent) override;
    QString AskSavePath(QWidget* parent, const QString& suggestion) override;
    QString AskExportPath(QWidget* parent, const QString& caption, const QString& suggestion,
                          const QString& filter) override;
    QString AskImportPath(QWidget* parent, const QString& caption, const QString& filter) override;
};
