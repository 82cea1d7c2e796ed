#pragma once

#include <memory>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/InstanceChannel.h"
#include "app/MainFrame.h"
#include "app/QXRApp.h"
#include "app/UserPrompts.h"
#include "doc/DocView.h"
#include "doc/QXRDoc.h"
#include "doc/UpdateHints.h"

// Answers the document commands' questions from a script and records them.
class ScriptedPrompts : public UserPrompts {
public:
    Answer saveChangesAnswer = Answer::Cancel;
    RecoveryAnswer recoveryAnswer = RecoveryAnswer::Later;
    QString openPath;
    QString savePath;
    QString exportPath;
    QString importPath;
    QStringList asked;
    QStringList errors;

    Answer AskSaveChanges(QWidget*, const QString& title) override
    {
        asked << QStringLiteral("Save changes to %1?").arg(title);
        return saveChangesAnswer;
    }
    void ShowError(QWidget*, const QString& text) override { errors << text; }
    RecoveryAnswer AskRestore(QWidget*, const QDateTime&) override
    {
        asked << QStringLiteral("Restore?");
        return recoveryAnswer;
    }
    QString AskOpenPath(QWidget*) override { return openPath; }
    QString AskSavePath(QWidget*, const QString&) override { return savePath; }
    QString AskExportPath(QWidget*, const QString&, const QString&, const QString&) override { return exportPath; }
    QString AskImportPath(QWidget*, const QString&, const QString&) override { return importPath; }
};

// Answers the next message box that opens with the button of that text,
// or closes it as a user would with OK, and keeps its text.
inline void AnswerNextMessageBox(QString& text, const QString& button = QString())
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &text, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        text = box->text();
        for (QAbstractButton* candidate : box->buttons()) {
            if (candidate->text() == button)
                candidate->click();
        }
        if (button.isEmpty())
            box->accept();
        poll->deleteLater();
    });
    poll->start(10);
}

// Records every hint the document sends.
class HintRecorder : public CDocView {
public:
    explicit HintRecorder(CQXRDoc& document) : document_(document) { document_.AddView(this); }
    ~HintRecorder() override { document_.RemoveView(this); }
    // The background analyses' hints come whenever their runs end, so the
    // recorded sequences leave them out.
    void OnUpdate(CDocView*, int hint, QObject*) override
    {
        if (hint != HINT_SWEEP && hint != HINT_TIME_DOMAIN && hint != HINT_DESIGN_MAP)
            hints.push_back(hint);
    }

    std::vector<int> hints;

private:
    CQXRDoc& document_;
};

// The running program, started once per test process as a user starts it.
class AppFixture : public ::testing::Test {
public:
    static CQXRApp* app;

protected:
    void SetUp() override
    {
        ASSERT_TRUE(app->InitInstance({}));
        // The start-up fetch of the informational document ends first, so
        // that its hint does not mix with a test's.
        ASSERT_TRUE(QTest::qWaitFor([] { return app->InfoTextArrived(); }, 10000));
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        Frame().SetPrompts(std::move(scripted));
    }
    void TearDown() override { app->ExitInstance(); }

    CMainFrame& Frame() { return *app->MainFrame(); }

    // The informational document arriving from the fetch thread.
    void DeliverInfoText(const QString& text)
    {
        ASSERT_TRUE(app->PostSignal(new CSigDownloadDone(text)));
        QCoreApplication::sendPostedEvents();
    }
    CQXRDoc& Document() { return *app->GetActiveDesignDoc(); }

    // Waits until the stability sweep of the design as it is now has reached the document.
    bool WaitForSweep()
    {
        return QTest::qWaitFor([this] { return Frame().Robustness().IsCurrent() && Document().robustness; }, 20000);
    }

    // The title as the desktop shows it, the mark of unsaved changes in place.
    QString ShownTitle() { return Frame().windowTitle().replace("[*]", Frame().isWindowModified() ? "*" : ""); }

    bool WaitForTimeDomain()
    {
        return QTest::qWaitFor([this] { return Frame().TimeDomain().IsCurrent() && Document().timeDomain; }, 30000);
    }

    // Waits until both loops' design maps of the design as it is now are in
    // the document from their first pass (an edit empties them at once), or
    // say why they are not computed; the time-domain pass may still run.
    bool WaitForDesignMap()
    {
        return QTest::qWaitFor([this] { return MapsAre([](const qxr::DesignMap& map) { return map.complete; }); },
                               60000);
    }

    // The same with both time-domain passes done: 128 simulations on the one
    // core the window leaves them, many times longer in the sanitized build.
    bool WaitForDesignMapPass()
    {
        return QTest::qWaitFor(
            [this] {
                return Frame().DesignMap().IsCurrent() &&
                       MapsAre([](const qxr::DesignMap& map) { return map.complete && map.timeDomain; });
            },
            240000);
    }

    template <typename Done>
    bool MapsAre(Done done)
    {
        const auto& maps = Document().designMaps;
        const auto finished = [&done](const qxr::DesignMap& map) { return done(map) || !map.notComputed.empty(); };
        return maps && finished(maps->maps[0]) && finished(maps->maps[1]);
    }

    ScriptedPrompts* prompts = nullptr;
};
