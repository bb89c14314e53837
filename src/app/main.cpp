#include <QApplication>

#include "app/CCorvantineApp.h"
#include "base/Signals.h"

int main(int argc, char** argv) {
    corv::CleanUpOnSignals();
    QApplication qapp(argc, argv);
    corv::CCorvantineApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1))) {
        return 1;
    }
    const int rc = QApplication::exec();
    app.ExitInstance();
    return rc;
}
