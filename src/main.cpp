#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/QtPrompts.h"
#include "common/Clock.h"
#include "link/QtSerialPort.h"

#include <QApplication>
#include <cstdio>

using namespace corvane;

namespace {

SerialPort* createPort(const CommandLine& options) {
    PortDirectory directory = PortDirectory::fromSystem();
    for (const QString& binding : options.portBindings)
        directory.bindFromOption(binding, nullptr);
    return new QtSerialPort(directory);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane Control"));
    const CommandLine options = parseCommandLine(QApplication::arguments());
    if (options.exitNow) {
        std::fputs(qPrintable(options.message), options.ok ? stdout : stderr);
        return options.ok ? 0 : 2;
    }

    SystemClock clock;
    QtPrompts prompts;
    MainWindow window(createPort(options), clock, prompts);
    prompts.setParent(&window);
    if (!window.startUp())
        return 0;
    window.show();
    return QApplication::exec();
}
