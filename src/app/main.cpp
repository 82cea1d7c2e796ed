#include <QCommandLineParser>

#include "app/InstanceChannel.h"
#include "app/QXRApp.h"
#include "doc/FileNames.h"

namespace {

// The arguments with every byte of a file name kept, which
// QCoreApplication::arguments() does not do for bytes that are not UTF-8.
QStringList Arguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << FileNameFromBytes(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char** argv)
{
    CQXRApp app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Design the control loops of boost PFC stages."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QCoreApplication::translate("main", "A QXR design to open."),
                                 QStringLiteral("[file]"));
    // By now argc and argv no longer hold the options Qt took for itself.
    parser.process(Arguments(argc, argv));
    const QStringList files = parser.positionalArguments();

    // A design opened from a file manager goes to the program already running.
    if (!files.isEmpty() && InstanceChannel::SendToRunningInstance(files.first()))
        return 0;

    if (!app.InitInstance(files))
        return 1;
    const int result = app.exec();
    app.ExitInstance();
    return result;
}
