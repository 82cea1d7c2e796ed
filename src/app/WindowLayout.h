#pragma once

#include <QList>
#include <QSize>

class CMfcCtrlTab;
class QMainWindow;
class QScreen;
class QSplitter;

// The main window's place and size, its toolbar, its splitters and the
// current page of each tab view, kept in the user's settings between runs.
// Splitters and tab views are told apart by their object names.
class WindowLayout {
public:
    // Wide enough for the design pages' whole tab strip beside a whole Bode page.
    static constexpr QSize kPreferredSize{1830, 940};

    WindowLayout(QMainWindow& window, QList<QSplitter*> splitters, QList<CMfcCtrlTab*> tabs);

    // The size of a window opened for the first time on screen: roomy, yet
    // inside its available area.
    static QSize FirstStartSize(const QScreen& screen);

    void Save() const;
    // The window's geometry, before it is shown; false when none is stored.
    bool RestoreGeometry() const;
    // Once the window is on show and the views have their pages: fits a
    // window from a larger screen into this one, and restores the splitters
    // and the current pages.
    void RestorePanes() const;

private:
    QMainWindow& window_;
    QList<QSplitter*> splitters_;
    QList<CMfcCtrlTab*> tabs_;
};
