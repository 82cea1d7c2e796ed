#include <chrono>

#include <QCoreApplication>

#include "RowInput.h"
#include "app/MainFrame.h"
#include "app/QXRApp.h"
#include "app/RecoveryCopies.h"
#include "app/TabViews.h"

// The program as a user starts it on a design, with a value typed into a row
// of the first page: qxr_typing_child <design> <symbol> <text>. Its recovery
// copy follows within moments instead of 30 s; it runs until it is ended.
int main(int argc, char** argv)
{
    CQXRApp app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4 || !app.InitInstance({arguments[1]}))
        return 1;
    app.Recovery()->SetInterval(std::chrono::milliseconds(20));
    Type(RowOf(*app.MainFrame()->UserView()->Pages()[0], arguments[2]).valueEdit, arguments[3]);
    return app.exec();
}
