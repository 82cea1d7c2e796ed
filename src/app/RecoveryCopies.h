#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <QDir>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include "model/Archive.h"

class CQXRDoc;
class QWidget;
class UserPrompts;

// The recovery copies of unsaved designs, in the user's state folder
// ($XDG_STATE_HOME/QXR, else ~/.local/state/QXR). Each running instance
// holds a lock named like its copy, so a copy whose lock nobody holds was
// left by an instance that did not close. A copy is a design file
// (<id>.qxr) beside the name of the file it belongs to (<id>.path).
class RecoveryCopies : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kDefaultInterval{30000};

    // Follows the document: while it is modified, its copy is written at
    // most once per interval, the first time one interval after a change;
    // once it is saved or discarded, the copy is removed.
    explicit RecoveryCopies(CQXRDoc& document);
    // A normal exit: the copy goes.
    ~RecoveryCopies() override;

    static QString Folder();
    QString CopyPath() const { return Path(id_, kCopySuffix); }
    // Tests wait for a write; the program keeps the default.
    void SetInterval(std::chrono::milliseconds interval) { timer_.setInterval(interval); }

    // Asks about each copy left by an instance no longer running, newest
    // first, until one is restored or the user chooses Later. A damaged copy
    // is reported and moved into the folder's "damaged" folder.
    void OfferLeftCopies(QWidget* parent, UserPrompts& prompts);

private:
    static constexpr char kCopySuffix[] = ".qxr";
    static constexpr char kPathSuffix[] = ".path";
    static constexpr char kLockSuffix[] = ".lock";

    static QString Path(const QString& id, const char* suffix);
    static FileResult CheckCopy(const std::optional<std::vector<uint8_t>>& bytes);
    static QString ReadOriginalPath(const QString& id);
    void RemoveLeftLocks() const;
    // True when the user chose to go on with the next copy.
    bool OfferCopy(const QString& id, QWidget* parent, UserPrompts& prompts);
    void KeepAside(const QString& id, QWidget* parent, UserPrompts& prompts, const QString& reason);
    static void Remove(const QString& id);
    void FollowDocument();
    void Write();

    CQXRDoc& document_;
    QString id_;
    std::unique_ptr<QLockFile> lock_;
    QTimer timer_;
    bool writeFailureReported_ = false;
};
