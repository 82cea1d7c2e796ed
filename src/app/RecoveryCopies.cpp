#include "app/RecoveryCopies.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "app/RecoveryName.h"
#include "app/UserPrompts.h"
#include "doc/FileNames.h"
#include "doc/QXRDoc.h"
#include "model/DesignFile.h"
#include "model/FileBytes.h"

namespace {

QString Tr(const char* text)
{
    return QCoreApplication::translate("RecoveryCopies", text);
}

std::filesystem::path LocalPath(const QString& path)
{
    return FileNameBytes(path).toStdString();
}

bool WriteBytes(const QString& path, const std::vector<uint8_t>& bytes)
{
    return WriteFileBytesAtomically(LocalPath(path), bytes);
}

// A lock that is never taken for stale by its age, only when its owner is gone.
std::unique_ptr<QLockFile> MakeLock(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock;
}

}  // namespace

RecoveryCopies::RecoveryCopies(CQXRDoc& document)
    : document_(document),
      id_(QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch()))
{
    // The folder holds unsaved designs: this user's alone.
    if (QDir().mkpath(Folder()))
        QFile::setPermissions(Folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    lock_ = MakeLock(Path(id_, kLockSuffix));
    if (!lock_->tryLock(0))
        qWarning("QXR: no recovery copies, %s cannot be locked", qPrintable(Path(id_, kLockSuffix)));
    timer_.setSingleShot(true);
    timer_.setInterval(kDefaultInterval);
    connect(&timer_, &QTimer::timeout, this, &RecoveryCopies::Write);
    connect(&document_, &CQXRDoc::HistoryChanged, this, &RecoveryCopies::FollowDocument);
}

RecoveryCopies::~RecoveryCopies()
{
    Remove(id_);
}

QString RecoveryCopies::Folder()
{
    // The base directory specification ignores a relative path.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/QXR");
}

QString RecoveryCopies::Path(const QString& id, const char* suffix)
{
    return Folder() + QLatin1Char('/') + id + QLatin1String(suffix);
}

void RecoveryCopies::FollowDocument()
{
    if (!document_.IsModified()) {
        timer_.stop();
        Remove(id_);
    } else if (!timer_.isActive()) {
        timer_.start();
    }
}

// The name first: a copy is never without the file it belongs to.
void RecoveryCopies::Write()
{
    if (!lock_->isLocked() || !document_.IsModified())
        return;
    const QByteArray original = FileNameBytes(document_.PathName());
    const bool written = WriteBytes(Path(id_, kPathSuffix), std::vector<uint8_t>(original.begin(), original.end())) &&
                         WriteBytes(CopyPath(), document_.DesignFileBytes());
    if (!written && !writeFailureReported_)
        qWarning("QXR: the recovery copy %s cannot be written", qPrintable(CopyPath()));
    writeFailureReported_ = !written;
}

void RecoveryCopies::Remove(const QString& id)
{
    QFile::remove(Path(id, kCopySuffix));
    QFile::remove(Path(id, kPathSuffix));
}

void RecoveryCopies::OfferLeftCopies(QWidget* parent, UserPrompts& prompts)
{
    RemoveLeftLocks();
    const QFileInfoList copies =
        QDir(Folder()).entryInfoList({QStringLiteral("*") + kCopySuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& copy : copies) {
        const QString id = copy.completeBaseName();
        if (id == id_)
            continue;
        // Holding the lock keeps a second start from offering the same copy.
        const std::unique_ptr<QLockFile> lock = MakeLock(Path(id, kLockSuffix));
        if (!lock->tryLock(0))
            continue;  // its instance is still running
        if (!OfferCopy(id, parent, prompts))
            return;
    }
}

// A copy is never written empty, so an empty one is damaged too.
FileResult RecoveryCopies::CheckCopy(const std::optional<std::vector<uint8_t>>& bytes)
{
    if (!bytes)
        return FileResult::FailedToOpen;
    if (bytes->empty())
        return FileResult::UnexpectedFormat;
    CDesignModel checked;
    std::u16string description;
    return LoadDesign(bytes->data(), bytes->size(), checked, description);
}

// Instances that ended without a copy leave only their lock behind; taking it removes it.
void RecoveryCopies::RemoveLeftLocks() const
{
    const QFileInfoList locks = QDir(Folder()).entryInfoList({QStringLiteral("*") + kLockSuffix}, QDir::Files);
    for (const QFileInfo& lock : locks) {
        const QString id = lock.completeBaseName();
        if (id != id_ && !QFileInfo::exists(Path(id, kCopySuffix)))
            MakeLock(lock.filePath())->tryLock(0);
    }
}

// The file a copy belongs to; none when its .path cannot be read or holds no name.
QString RecoveryCopies::ReadOriginalPath(const QString& id)
{
    int reason = 0;
    const auto bytes = ReadFileBytes(LocalPath(Path(id, kPathSuffix)), reason, qxr::kMaxRecoveryNameBytes);
    if (!bytes)
        return {};
    const std::optional<std::string> name =
        qxr::RecoveryNameFromBytes({reinterpret_cast<const char*>(bytes->data()), bytes->size()});
    return name ? FileNameFromBytes(QByteArray::fromStdString(*name)) : QString();
}

bool RecoveryCopies::OfferCopy(const QString& id, QWidget* parent, UserPrompts& prompts)
{
    const QString copyPath = Path(id, kCopySuffix);
    const auto bytes = ReadFileBytes(LocalPath(copyPath));
    const FileResult checked = CheckCopy(bytes);
    if (checked != FileResult::Ok) {
        KeepAside(id, parent, prompts, QCoreApplication::translate("FileResult", FileResultText(checked)));
        return true;
    }
    const QDateTime written = QFileInfo(copyPath).lastModified();
    switch (prompts.AskRestore(parent, written)) {
    case UserPrompts::RecoveryAnswer::Restore: {
        const QString originalPath = ReadOriginalPath(id);
        // The bytes have been read as a design once already, so this load succeeds.
        document_.OnRecoverDocument(*bytes, originalPath);
        // The design is this instance's now; its own copy replaces the old one at once.
        Write();
        Remove(id);
        return false;
    }
    case UserPrompts::RecoveryAnswer::Discard:
        Remove(id);
        return true;
    case UserPrompts::RecoveryAnswer::Later:
        break;
    }
    return false;
}

void RecoveryCopies::KeepAside(const QString& id, QWidget* parent, UserPrompts& prompts, const QString& reason)
{
    const QString aside = Folder() + QStringLiteral("/damaged");
    QDir().mkpath(aside);
    const QString kept = aside + QLatin1Char('/') + id + QLatin1String(kCopySuffix);
    QFile::rename(Path(id, kPathSuffix), aside + QLatin1Char('/') + id + QLatin1String(kPathSuffix));
    const bool moved = QFile::rename(Path(id, kCopySuffix), kept);
    prompts.ShowError(parent, Tr("An unsaved design left by QXR cannot be restored: %1\nIt is kept as %2.")
                                  .arg(reason, QDir::toNativeSeparators(moved ? kept : Path(id, kCopySuffix))));
}
