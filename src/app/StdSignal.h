#pragma once

#include <QString>

// A message between threads: a request to a worker, or a result that a
// worker posts to the UI thread. The receiver owns and deletes it.
class CStdSignal {
public:
    static constexpr unsigned kTerminateId = 0;
    static constexpr unsigned kDownloadFileId = 0x2000000C;
    static constexpr unsigned kDownloadDoneId = 0x20000014;
    static constexpr unsigned kAnalysisRunId = 0x20000020;
    static constexpr unsigned kAnalysisDoneId = 0x20000021;

    explicit CStdSignal(unsigned id) : id_(id) {}
    virtual ~CStdSignal() = default;

    unsigned Id() const { return id_; }

private:
    unsigned id_;
};

// Asks a download worker to fetch an address.
class CSigDownloadFile : public CStdSignal {
public:
    explicit CSigDownloadFile(QString address) : CStdSignal(kDownloadFileId), address(std::move(address)) {}

    const QString address;
};

// A finished download: its text, empty when the download failed.
class CSigDownloadDone : public CStdSignal {
public:
    explicit CSigDownloadDone(QString text) : CStdSignal(kDownloadDoneId), text(std::move(text)) {}

    const QString text;
};
