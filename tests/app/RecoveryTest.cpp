#include <chrono>
#include <csignal>
#include <vector>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/wait.h>

#include "AppFixture.h"
#include "RowInput.h"
#include "analysis/Recalculate.h"
#include "app/RecoveryCopies.h"
#include "app/TabViews.h"
#include "doc/FileNames.h"
#include "model/DesignFile.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

QByteArray ToByteArray(const Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// The file's bytes; empty when it cannot be read.
QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::string LocalPath(const QString& path)
{
    return FileNameBytes(path).toStdString();
}

// A design file and, for a test, what the program holds after opening it
// and typing text into the Output Power row, keystroke by keystroke.
Bytes TypedOutputPower(const QString& design, const QString& text)
{
    CDesignModel model;
    std::u16string description;
    EXPECT_EQ(LoadDesignFile(LocalPath(design), model, description), FileResult::Ok);
    qxr::Recalculate(model);
    for (int length = 1; length <= text.size(); ++length) {
        model.P__OUT.SetUser(text.left(length).toDouble());
        qxr::Recalculate(model);
    }
    return SaveDesign(model, description);
}

class Recovery : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        app->Recovery()->SetInterval(10ms);
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        QDir(RecoveryCopies::Folder()).removeRecursively();
    }

    static QString InFolder(const QString& name) { return RecoveryCopies::Folder() + '/' + name; }
    static QStringList Copies() { return QDir(RecoveryCopies::Folder()).entryList({"*.qxr"}, QDir::Files); }
    QString OwnCopy() { return app->Recovery()->CopyPath(); }
    static QString SideFile(const QString& copy) { return copy.chopped(4) + ".path"; }

    // A copy left by an instance that ended without closing.
    static void LeaveCopy(const QString& id, const QByteArray& design, const QByteArray& originalPath)
    {
        QDir().mkpath(RecoveryCopies::Folder());
        WriteAll(InFolder(id + ".qxr"), design);
        WriteAll(InFolder(id + ".path"), originalPath);
    }
    QByteArray NewDesign()
    {
        CDesignModel model;
        model.V__OUT.SetUser(400);
        qxr::Recalculate(model);
        return ToByteArray(SaveDesign(model, u"left behind"));
    }

    void TypeOutputVoltage(const QString& text)
    {
        Type(RowOf(*Frame().UserView()->Pages()[0], "V__OUT").valueEdit, text);
    }
    bool WaitForOwnCopy()
    {
        return QTest::qWaitFor([this] { return ReadAll(OwnCopy()) == ToByteArray(Document().DesignFileBytes()); });
    }

    QTemporaryDir dir;
};

// Starts the program on a design with text typed into a row; it shares the
// state folder and nothing else with the program under test.
pid_t StartTypingChild(const QString& design, const QString& text, const QTemporaryDir& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        environment.insert(variable, home.path());
    std::vector<QByteArray> entries;
    for (const QString& entry : environment.toStringList())
        entries.push_back(entry.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& entry : entries)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    QByteArray designArgument = FileNameBytes(design);
    QByteArray symbol("P__OUT");
    QByteArray typed = text.toUtf8();
    char* argv[] = {const_cast<char*>(QXR_TYPING_CHILD_PATH), designArgument.data(), symbol.data(), typed.data(),
                    nullptr};
    pid_t pid = 0;
    return posix_spawn(&pid, QXR_TYPING_CHILD_PATH, nullptr, nullptr, argv, envp.data()) == 0 ? pid : -1;
}

// The base directory rules: an absolute XDG_STATE_HOME, else ~/.local/state.
TEST(RecoveryFolder, FollowsXdgStateHome)
{
    const QByteArray home = qgetenv("HOME");
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    qputenv("HOME", "/home/engineer");
    const std::pair<const char*, QString> cases[] = {
        {"/var/state", "/var/state/QXR"},
        {"", "/home/engineer/.local/state/QXR"},
        {"relative/state", "/home/engineer/.local/state/QXR"},
    };
    for (const auto& [variable, folder] : cases) {
        qputenv("XDG_STATE_HOME", variable);
        EXPECT_EQ(RecoveryCopies::Folder(), folder) << variable;
    }
    qputenv("HOME", home);
    qputenv("XDG_STATE_HOME", state);
}

TEST_F(Recovery, AKilledProgramIsOfferedOnTheNextStartAndRestoredExactly)
{
    const QString design = dir.filePath("stage.qxr");
    CDesignModel stage;
    qxr::Recalculate(stage);
    ASSERT_EQ(SaveDesignFile(LocalPath(design), stage, u"stage"), FileResult::Ok);
    const QByteArray edited = ToByteArray(TypedOutputPower(design, "250"));

    QTemporaryDir childHome;
    const pid_t child = StartTypingChild(design, "250", childHome);
    ASSERT_GT(child, 0);
    QString childCopy;
    const bool written = QTest::qWaitFor(
        [&] {
            for (const QString& copy : Copies()) {
                if (ReadAll(InFolder(copy)) == edited)
                    childCopy = InFolder(copy);
            }
            return !childCopy.isEmpty();
        },
        20000);

    // Two instances side by side: each keeps its own copy, and the running one is not offered.
    TypeOutputVoltage("400");
    const bool ownWritten = WaitForOwnCopy();
    Frame().OfferRecovery(*app->Recovery());
    EXPECT_TRUE(prompts->asked.isEmpty());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(written);
    ASSERT_TRUE(ownWritten);
    EXPECT_NE(OwnCopy(), childCopy);
    EXPECT_EQ(ReadAll(childCopy), edited);
    EXPECT_EQ(FileNameFromBytes(ReadAll(SideFile(childCopy))), design);

    app->ExitInstance();
    EXPECT_EQ(Copies().size(), 1) << "a normal exit removes its own copy only";
    QString question;
    AnswerNextMessageBox(question, "Restore");
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_TRUE(QRegularExpression("^QXR was not closed properly\\. Restore the unsaved design from .+\\?$")
                    .match(question)
                    .hasMatch())
        << question.toStdString();
    EXPECT_EQ(ToByteArray(Document().DesignFileBytes()), edited);
    EXPECT_EQ(Document().PathName(), design);
    EXPECT_TRUE(Document().IsModified());
    EXPECT_EQ(ShownTitle(), "stage.qxr* - QXR");
    EXPECT_FALSE(QFile::exists(childCopy));
    EXPECT_EQ(ReadAll(OwnCopy()), edited) << "the restored design has a copy at once";
}

TEST_F(Recovery, SaveDiscardAndExitLeaveNoCopy)
{
    app->Recovery()->SetInterval(RecoveryCopies::kDefaultInterval);
    TypeOutputVoltage("400");
    EXPECT_FALSE(QFile::exists(OwnCopy())) << "the first write waits an interval";
    app->Recovery()->SetInterval(10ms);
    ASSERT_TRUE(WaitForOwnCopy());
    EXPECT_EQ(ReadAll(SideFile(OwnCopy())), QByteArray()) << "an untitled design";

    prompts->savePath = dir.filePath("saved.qxr");
    ASSERT_TRUE(Frame().FileSave());
    EXPECT_TRUE(Copies().isEmpty());

    TypeOutputVoltage("410");
    ASSERT_TRUE(WaitForOwnCopy());
    EXPECT_EQ(FileNameFromBytes(ReadAll(SideFile(OwnCopy()))), dir.filePath("saved.qxr"));
    Frame().UndoAction()->trigger();
    EXPECT_TRUE(Copies().isEmpty()) << "undone back to the saved design";

    TypeOutputVoltage("420");
    ASSERT_TRUE(WaitForOwnCopy());
    prompts->saveChangesAnswer = UserPrompts::Answer::No;
    ASSERT_TRUE(Frame().FileNew());
    EXPECT_TRUE(Copies().isEmpty());

    TypeOutputVoltage("430");
    ASSERT_TRUE(WaitForOwnCopy());
    app->ExitInstance();
    EXPECT_TRUE(QDir(RecoveryCopies::Folder()).entryList(QDir::Files).isEmpty()) << "nor a lock";
}

TEST_F(Recovery, LaterKeepsACopyDiscardRemovesIt)
{
    LeaveCopy("1-1", NewDesign(), "");
    prompts->recoveryAnswer = UserPrompts::RecoveryAnswer::Later;
    Frame().OfferRecovery(*app->Recovery());
    EXPECT_EQ(prompts->asked, QStringList{"Restore?"});
    EXPECT_EQ(Copies(), QStringList{"1-1.qxr"});
    EXPECT_FALSE(Document().IsModified());

    prompts->recoveryAnswer = UserPrompts::RecoveryAnswer::Discard;
    Frame().OfferRecovery(*app->Recovery());
    EXPECT_EQ(prompts->asked.size(), 2);
    EXPECT_TRUE(QDir(RecoveryCopies::Folder()).entryList({"1-1.*"}, QDir::Files).isEmpty());
    EXPECT_FALSE(Document().IsModified());
}

TEST_F(Recovery, AnUntitledCopyIsRestoredUntitled)
{
    LeaveCopy("1-1", NewDesign(), "");
    prompts->recoveryAnswer = UserPrompts::RecoveryAnswer::Restore;
    Frame().OfferRecovery(*app->Recovery());
    EXPECT_EQ(ToByteArray(Document().DesignFileBytes()), NewDesign());
    EXPECT_EQ(Document().designDescription, u"left behind");
    EXPECT_TRUE(Document().IsModified());
    EXPECT_EQ(ShownTitle(), "Untitled* - QXR");
    EXPECT_FALSE(Frame().UndoAction()->isEnabled());
}

// No file name holds a NUL byte: the design comes back, without a file that
// saving would then miss.
TEST_F(Recovery, ACopyBesideANameWithANulByteIsRestoredUntitled)
{
    LeaveCopy("1-1", NewDesign(), QByteArray("/designs/a\0b.qxr", 16));
    prompts->recoveryAnswer = UserPrompts::RecoveryAnswer::Restore;
    Frame().OfferRecovery(*app->Recovery());
    EXPECT_EQ(ToByteArray(Document().DesignFileBytes()), NewDesign());
    EXPECT_EQ(Document().PathName(), QString());
    EXPECT_EQ(ShownTitle(), "Untitled* - QXR");
}

TEST_F(Recovery, ACopyOfARunningInstanceIsLeftAlone)
{
    LeaveCopy("1-1", NewDesign(), "");
    QLockFile running(InFolder("1-1.lock"));
    ASSERT_TRUE(running.tryLock(0));
    Frame().OfferRecovery(*app->Recovery());
    EXPECT_TRUE(prompts->asked.isEmpty());
    EXPECT_EQ(Copies(), QStringList{"1-1.qxr"});
}

TEST_F(Recovery, DamagedCopiesAreReportedAndKeptAside)
{
    struct Case {
        QByteArray bytes;
        QString reason;
    };
    const QByteArray valid = NewDesign();
    const Case cases[] = {
        {valid.left(30), "Unexpected file format."},
        {QByteArray(), "Unexpected file format."},
    };
    for (const Case& c : cases) {
        QDir(RecoveryCopies::Folder()).removeRecursively();
        LeaveCopy("1-1", c.bytes, "/designs/pfc.qxr");
        prompts->errors.clear();
        Frame().OfferRecovery(*app->Recovery());
        EXPECT_TRUE(prompts->asked.isEmpty()) << "a damaged copy is not offered";
        ASSERT_EQ(prompts->errors.size(), 1);
        EXPECT_TRUE(prompts->errors[0].contains(c.reason)) << prompts->errors[0].toStdString();
        EXPECT_TRUE(prompts->errors[0].contains(InFolder("damaged/1-1.qxr")));
        EXPECT_EQ(ReadAll(InFolder("damaged/1-1.qxr")), c.bytes);
        EXPECT_EQ(ReadAll(InFolder("damaged/1-1.path")), "/designs/pfc.qxr");
        EXPECT_TRUE(Copies().isEmpty());
        EXPECT_FALSE(Document().IsModified());
    }
}

}  // namespace
