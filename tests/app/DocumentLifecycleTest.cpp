#include <clocale>
#include <csignal>

#include <QFile>
#include <QLocalSocket>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtEndian>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "AppFixture.h"
#include "NonDesignFiles.h"
#include "analysis/FirmwareHeader.h"
#include "analysis/Recalculate.h"
#include "doc/FileNames.h"
#include "doc/UpdateHints.h"
#include "model/DesignFile.h"

extern char** environ;

namespace {

using Hints = std::vector<int>;

// A message of the instance channel, built by hand: a 32-bit big-endian length, then the bytes.
QByteArray ChannelMessage(const QByteArray& name, quint32 length)
{
    QByteArray header(4, '\0');
    qToBigEndian(length, header.data());
    return header + name;
}

QByteArray ChannelMessage(const QByteArray& name)
{
    return ChannelMessage(name, static_cast<quint32>(name.size()));
}

// Starts the real program a second time in the folder, as a file manager
// would, with the file name as its argument, and returns its exit code. The
// running program goes on meanwhile; a start that does not end on its own
// is ended.
int StartAgain(const QByteArray& folder, QByteArray fileArgument)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(QXR_PATH), fileArgument.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, QXR_PATH, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    if (!QTest::qWaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 20000)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DocumentLifecycle : public AppFixture {
protected:
    QString Path(const QString& name) { return dir.filePath(name); }

    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir;
};

TEST_F(DocumentLifecycle, StartsWithANewDesign)
{
    EXPECT_EQ(ShownTitle(), "Untitled - QXR");
    EXPECT_EQ(Document().designDescription, u"Add Description here...");
    EXPECT_FALSE(Document().IsModified());
    EXPECT_EQ(Document().model.Loop(qxr::ControlLoop::Voltage).crossIdx, 140) << "the new design is calculated";
    EXPECT_TRUE(Frame().isVisible());
}

// Qt adopts the user's locale; the numbers the program writes keep their "."
// all the same, and so do the coefficients on the clipboard and in headers.
TEST_F(DocumentLifecycle, NumbersAreWrittenInTheCLocale)
{
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C.UTF-8");
}

TEST_F(DocumentLifecycle, NewSendsItsHintsInOrder)
{
    HintRecorder recorder(Document());
    ASSERT_TRUE(Frame().FileNew());
    EXPECT_EQ(recorder.hints, (Hints{HINT_NEW_DESIGN, HINT_DOCUMENT, HINT_VALUES, HINT_VALUES, HINT_LISTS}));
}

TEST_F(DocumentLifecycle, SaveAndReopenKeepTheDesign)
{
    Document().model.P__OUT.SetUser(250);
    qxr::Recalculate(Document().model);
    Document().SetModifiedFlag();
    prompts->savePath = Path("stage.qxr");
    ASSERT_TRUE(Frame().FileSave()) << "an untitled design asks for a name";
    EXPECT_FALSE(Document().IsModified());
    EXPECT_EQ(ShownTitle(), "stage.qxr - QXR");
    const double inductance = Document().model.L__MIN.Value();

    ASSERT_TRUE(Frame().FileNew());
    EXPECT_EQ(Document().model.P__OUT.Value(), 150);

    HintRecorder recorder(Document());
    prompts->openPath = Path("stage.qxr");
    ASSERT_TRUE(Frame().FileOpen());
    EXPECT_EQ(Document().model.P__OUT.Value(), 250);
    EXPECT_TRUE(Document().model.P__OUT.userSet);
    EXPECT_EQ(Document().model.L__MIN.Value(), inductance);
    EXPECT_EQ(recorder.hints, (Hints{HINT_NEW_DESIGN, HINT_DOCUMENT, HINT_VALUES, HINT_VALUES, HINT_LISTS}));
    EXPECT_EQ(ShownTitle(), "stage.qxr - QXR");
    EXPECT_TRUE(prompts->errors.isEmpty());
}

TEST_F(DocumentLifecycle, DamagedFilesReportAndLeaveANewDesign)
{
    struct Case {
        QByteArray bytes;
        QString message;
    };
    std::vector<uint8_t> valid = SaveDesign(Document().model, u"x");
    QByteArray versionTwo(reinterpret_cast<const char*>(valid.data()), static_cast<int>(valid.size()));
    versionTwo[0] = 2;
    const Case cases[] = {
        {versionTwo, "Unexpected file format."},
        {versionTwo.left(40), "Unexpected file format."},
    };
    for (const Case& c : cases) {
        Document().model.V__OUT.SetUser(400);
        WriteFile("damaged.qxr", c.bytes);
        prompts->errors.clear();
        EXPECT_FALSE(Frame().OpenDocumentFile(Path("damaged.qxr")));
        EXPECT_EQ(prompts->errors, QStringList{c.message});
        EXPECT_EQ(ShownTitle(), "Untitled - QXR");
        EXPECT_FALSE(Document().model.V__OUT.userSet);
        EXPECT_EQ(Document().designDescription, u"Add Description here...");
    }
    prompts->errors.clear();
    EXPECT_FALSE(Frame().OpenDocumentFile(Path("missing.qxr")));
    EXPECT_EQ(prompts->errors, QStringList{"Failed to open document."});
}

TEST_F(DocumentLifecycle, NonDesignFilesReportAndLeaveANewDesign)
{
    for (const non_design_files::UnreadableInput& input :
         non_design_files::MakeUnreadableInputs(dir.path().toStdString())) {
        SCOPED_TRACE(input.what);
        Document().model.V__OUT.SetUser(400);
        prompts->errors.clear();
        EXPECT_FALSE(Frame().OpenDocumentFile(QString::fromStdString(input.path.string())));
        EXPECT_EQ(prompts->errors, QStringList{"Failed to open document."});
        EXPECT_EQ(ShownTitle(), "Untitled - QXR");
        EXPECT_FALSE(Document().model.V__OUT.userSet);
    }
}

TEST_F(DocumentLifecycle, NewOnAModifiedDesignAsksFirst)
{
    Document().model.P__OUT.SetUser(90);
    Document().SetModifiedFlag();
    prompts->saveChangesAnswer = UserPrompts::Answer::Cancel;
    EXPECT_FALSE(Frame().FileNew());
    EXPECT_EQ(prompts->asked, QStringList{"Save changes to Untitled?"});
    EXPECT_EQ(Document().model.P__OUT.Value(), 90);
    EXPECT_TRUE(Document().IsModified());

    prompts->saveChangesAnswer = UserPrompts::Answer::No;
    EXPECT_TRUE(Frame().FileNew());
    EXPECT_EQ(Document().model.P__OUT.Value(), 150);
    EXPECT_FALSE(Document().IsModified());
}

TEST_F(DocumentLifecycle, AnsweringYesSavesBeforeTheNewDesign)
{
    Document().model.P__OUT.SetUser(90);
    Document().SetModifiedFlag();
    prompts->saveChangesAnswer = UserPrompts::Answer::Yes;
    prompts->savePath = Path("kept.qxr");
    EXPECT_TRUE(Frame().FileNew());
    CDesignModel reloaded;
    std::u16string description;
    ASSERT_EQ(LoadDesignFile(Path("kept.qxr").toStdString(), reloaded, description), FileResult::Ok);
    EXPECT_EQ(reloaded.P__OUT.Value(), 90);
}

TEST_F(DocumentLifecycle, FailedSaveKeepsTheDesignModified)
{
    Document().SetModifiedFlag();
    prompts->savePath = Path("no-such-folder/stage.qxr");
    EXPECT_FALSE(Frame().FileSaveAs());
    EXPECT_EQ(prompts->errors, QStringList{"Failed to save document."});
    EXPECT_TRUE(Document().IsModified());
    EXPECT_EQ(ShownTitle(), "Untitled* - QXR");
}

// Refused with the reasons for a design without coefficients; written atomically otherwise.
TEST_F(DocumentLifecycle, ExportFirmwareHeaderWritesTheDigitalDesignsHeader)
{
    prompts->exportPath = Path("pfc.h");
    EXPECT_FALSE(Frame().FileExportFirmwareHeader()) << "the new design is analog";
    ASSERT_EQ(prompts->errors.size(), 1);
    EXPECT_TRUE(prompts->errors.front().contains("not in DIGITAL mode")) << prompts->errors.front().toStdString();
    EXPECT_FALSE(QFile::exists(Path("pfc.h")));

    prompts->savePath = Path("stage.qxr");
    Document().model.ad.SetUser(CTop::DIGITAL);
    Document().model.fmt__COEF.SetUser(CCoefficientFormat::Q15);
    qxr::Recalculate(Document().model);
    ASSERT_TRUE(Frame().FileSaveAs());
    EXPECT_TRUE(Frame().FileExportFirmwareHeader());
    QFile written(Path("pfc.h"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(),
              qxr::FirmwareHeaderOf(Document().model, Document().designDescription).text);

    prompts->exportPath = Path("no-such-folder/pfc.h");
    EXPECT_FALSE(Frame().FileExportFirmwareHeader());
    EXPECT_TRUE(prompts->errors.back().startsWith("Failed to write ")) << prompts->errors.back().toStdString();
}

TEST_F(DocumentLifecycle, RecentListKeepsTheNewestFour)
{
    for (int i = 0; i < 6; ++i) {
        prompts->savePath = Path(QStringLiteral("design%1.qxr").arg(i));
        ASSERT_TRUE(Frame().FileSaveAs());
    }
    ASSERT_TRUE(Frame().OpenDocumentFile(Path("design3.qxr")));
    const QStringList recent = Frame().Recent().Paths();
    ASSERT_EQ(recent.size(), 4);
    EXPECT_TRUE(recent[0].endsWith("design3.qxr"));
    EXPECT_TRUE(recent[1].endsWith("design5.qxr"));
    EXPECT_TRUE(recent[2].endsWith("design4.qxr"));
    EXPECT_TRUE(recent[3].endsWith("design2.qxr"));

    // The list outlives the program run.
    app->ExitInstance();
    ASSERT_TRUE(app->InitInstance({}));
    Frame().SetPrompts(std::make_unique<ScriptedPrompts>());
    EXPECT_EQ(Frame().Recent().Paths(), recent);
}

TEST_F(DocumentLifecycle, AnotherStartHandsItsFileToTheRunningProgram)
{
    prompts->savePath = Path("shared.qxr");
    Document().model.V__OUT.SetUser(390);
    ASSERT_TRUE(Frame().FileSaveAs());
    ASSERT_TRUE(Frame().FileNew());

    ASSERT_TRUE(InstanceChannel::SendToRunningInstance(Path("shared.qxr")));
    EXPECT_TRUE(QTest::qWaitFor([this] { return Document().model.V__OUT.Value() == 390; }, 5000));
    EXPECT_EQ(ShownTitle(), "shared.qxr - QXR");
}

TEST_F(DocumentLifecycle, ASecondStartOpensExactlyTheFileItNames)
{
    const QByteArray folder = QFile::encodeName(dir.path());
    const struct {
        const char* what;
        QByteArray name;
    } cases[] = {
        {"a line feed", "a\nb.qxr"},        {"leading blanks", "  lead.qxr"},
        {"trailing blanks", "trail.qxr  "}, {"bytes that are not UTF-8", "\xFF\xFE.qxr"},
        {"all of them", " \xC3\n\xA9 "},
    };
    double outputVoltage = 400;  // each file its own, none the new design's
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray path = folder + '/' + c.name;
        CDesignModel design;
        design.V__OUT.SetUser(++outputVoltage);
        ASSERT_EQ(SaveDesignFile(path.toStdString(), design, u"second start"), FileResult::Ok);
        ASSERT_TRUE(Frame().FileNew());

        EXPECT_EQ(StartAgain(folder, c.name), 0);

        EXPECT_TRUE(QTest::qWaitFor([&] { return Document().model.V__OUT.Value() == outputVoltage; }, 5000));
        EXPECT_EQ(FileNameBytes(Document().PathName()), path);
        EXPECT_TRUE(prompts->errors.isEmpty()) << prompts->errors.join(", ").toStdString();
        // QTemporaryDir cannot remove a name that is not UTF-8.
        ::unlink(path.constData());
    }
}

// A name that is not UTF-8, in a folder whose name is not either: dropped on
// the window, it opens and goes on the recent list, which keeps it across
// runs; what a file dialog returns for it leads back to the same bytes.
TEST_F(DocumentLifecycle, FileNamesKeepEveryByteThroughDropDialogsAndTheRecentList)
{
    const QByteArray folder = QFile::encodeName(dir.path()) + "/\xFF folder";
    const QByteArray path = folder + "/\xFE\xC3 design.qxr";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    CDesignModel design;
    design.V__OUT.SetUser(395);
    ASSERT_EQ(SaveDesignFile(path.toStdString(), design, u"dropped"), FileResult::Ok);

    QMimeData dropped;
    dropped.setData("text/uri-list", "file://" + path.toPercentEncoding("/") + "\r\n");
    ASSERT_TRUE(Frame().OpenDropped(dropped));
    EXPECT_EQ(Document().model.V__OUT.Value(), 395);
    EXPECT_EQ(FileNameBytes(Document().PathName()), path);
    ASSERT_FALSE(Frame().Recent().Paths().isEmpty());
    EXPECT_EQ(FileNameBytes(Frame().Recent().Paths().first()), path);

    app->ExitInstance();
    ASSERT_TRUE(app->InitInstance({}));
    Frame().SetPrompts(std::make_unique<ScriptedPrompts>());
    ASSERT_FALSE(Frame().Recent().Paths().isEmpty());
    EXPECT_EQ(FileNameBytes(Frame().Recent().Paths().first()), path) << "the list outlives the run";

    // Qt's dialogs decode the name, putting U+FFFD for the bytes that are not UTF-8.
    EXPECT_EQ(FileNameBytes(RecoveredFileName(QFile::decodeName(path))), path);
    const QByteArray lookAlike = folder + "/\xFD\xC3 design.qxr";
    ASSERT_EQ(SaveDesignFile(lookAlike.toStdString(), design, u"look-alike"), FileResult::Ok);
    EXPECT_EQ(RecoveredFileName(QFile::decodeName(path)), QFile::decodeName(path)) << "two entries match: neither";
    for (const QByteArray& name : {path, lookAlike})
        ::unlink(name.constData());
    ::rmdir(folder.constData());  // QTemporaryDir cannot remove names that are not UTF-8
}

TEST(FileNames, LocalFilesOfAUriListKeepTheirBytes)
{
    const struct {
        const char* what;
        QByteArray list;
        QList<QByteArray> files;
    } cases[] = {
        {"three spellings of a local file", "file:///a%20b\r\nfile://localhost/c\nfile:/d", {"/a b", "/c", "/d"}},
        {"bytes that are not UTF-8", "file:///x%FF%FE.qxr", {"/x\xFF\xFE.qxr"}},
        {"comments and blank lines", "# a comment\r\n\r\nfile:///e", {"/e"}},
        {"no other host, scheme or NUL", "file://elsewhere/f\nhttp://host/g\nfile:///h%00i\nfile:relative", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QList<QByteArray> files;
        for (const QString& file : LocalFilesOfUriList(c.list))
            files << FileNameBytes(file);
        EXPECT_EQ(files, c.files);
    }
}

TEST_F(DocumentLifecycle, MalformedChannelMessagesAreIgnored)
{
    prompts->savePath = Path("shared.qxr");
    ASSERT_TRUE(Frame().FileSaveAs());
    ASSERT_TRUE(Frame().FileNew());
    const QByteArray absolute = QFile::encodeName(Path("shared.qxr"));
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"an empty name", ChannelMessage("")},
        {"a length beyond any path", ChannelMessage(absolute, 1u << 20)},
        {"a relative name", ChannelMessage("shared.qxr")},
        {"a name with a NUL byte", ChannelMessage(absolute + QByteArray(1, '\0') + "x")},
        {"a good message after a bad one", ChannelMessage("") + ChannelMessage(absolute)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QLocalSocket socket;
        socket.connectToServer(InstanceChannel::Name());
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(c.bytes);
        // The running program ends the connection.
        EXPECT_TRUE(QTest::qWaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; }, 5000));
    }
    {
        QLocalSocket cutShort;
        cutShort.connectToServer(InstanceChannel::Name());
        ASSERT_TRUE(cutShort.waitForConnected(1000));
        cutShort.write(ChannelMessage(absolute).left(10));
        cutShort.waitForBytesWritten(1000);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(ShownTitle(), "Untitled - QXR");
    EXPECT_TRUE(prompts->errors.isEmpty()) << prompts->errors.join(", ").toStdString();

    // The channel still takes a good message.
    ASSERT_TRUE(InstanceChannel::SendToRunningInstance(Path("shared.qxr")));
    EXPECT_TRUE(QTest::qWaitFor([this] { return ShownTitle() == "shared.qxr - QXR"; }, 5000));
}

TEST_F(DocumentLifecycle, CommandLineFileThatCannotBeOpenedEndsTheStart)
{
    app->ExitInstance();
    QString shown;
    AnswerNextMessageBox(shown);
    EXPECT_FALSE(app->InitInstance({Path("absent.qxr")}));
    EXPECT_EQ(shown, "Failed to open document.");
}

TEST_F(DocumentLifecycle, StartingOnAFifoShowsTheMessageInsteadOfWaiting)
{
    app->ExitInstance();
    ASSERT_TRUE(non_design_files::MakeFifo(Path("fifo.qxr").toStdString()));
    QString shown;
    AnswerNextMessageBox(shown);
    EXPECT_FALSE(app->InitInstance({Path("fifo.qxr")}));
    EXPECT_EQ(shown, "Failed to open document.");
}

TEST_F(DocumentLifecycle, PrintIsOfferedOnCtrlP)
{
    EXPECT_TRUE(Frame().PrintAction()->isEnabled());
    EXPECT_EQ(Frame().PrintAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
}

}  // namespace
