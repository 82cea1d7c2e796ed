#pragma once

#include <QString>
#include <QTextBrowser>

#include "doc/DocView.h"

class CQXRDoc;
class QSplitter;

// The read-only pane under the review view: the calculation's messages and
// out-of-range values, or else the informational document.
class CQXRViewLog : public QTextBrowser, public CDocView {
    Q_OBJECT

public:
    // infoText is the application's informational document, read at every rebuild.
    CQXRViewLog(CQXRDoc& document, const QString& infoText, QWidget* parent = nullptr);
    ~CQXRViewLog() override;

    void OnUpdate(CDocView* sender, int hint, QObject* hintObject) override;

    static constexpr int kPaneHeight = 100;

    // Links of a downloaded document open only on the web or in the mail
    // program, never as local files or programs.
    static bool IsSafeLink(const QUrl& link);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Nothing a document refers to is loaded: a picture or style sheet named
    // by a downloaded page would be read on the UI thread, even /dev/zero.
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void Rebuild();
    void Show(const QString& text, bool rich);
    void OpenLink(const QUrl& link);
    void KeepPaneHeight();

    CQXRDoc& document_;
    const QString& infoText_;
    QString lastShownText_;
};
