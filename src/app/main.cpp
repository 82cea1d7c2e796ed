#include <QCommandLineParser>

#include "app/InstanceChannel.h"
#include "app/QXRApp.h"

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
    parser.process(app);
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
