#include "app/BenchHooks.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/QtPrompts.h"
#include "common/Clock.h"
#include "link/QtSerialPort.h"
#include "periphery/ui/SplashWindow.h"
#include "sim/SimSerialPort.h"

#include <QApplication>
#include <cstdio>
#include <future>

using namespace corvane;

namespace {

// The serial port: the real one, or with --simulate the simulated board
// behind port 1. Returns nullptr (after saying why) for bad simulator options.
SerialPort* createPort(const CommandLine& options, Clock& clock,
                       std::shared_future<QStringList> systemDevices) {
    if (options.simulate) {
        QString error;
        SerialPort* port = sim::SimSerialPort::create(clock, options.simulatorArgs, &error);
        if (!port)
            std::fprintf(stderr, "%s\n", qPrintable(error));
        return port;
    }
    const QStringList bindings = options.portBindings;
    return new QtSerialPort([systemDevices, bindings] {
        PortDirectory directory = PortDirectory::fromSystemDevices(systemDevices.get());
        for (const QString& binding : bindings)
            directory.bindFromOption(binding, nullptr);
        return directory;
    });
}

} // namespace

int main(int argc, char* argv[]) {
    // Listing the serial devices takes a while on some systems; do it while
    // the application and its window are being set up.
    const std::shared_future<QStringList> systemDevices =
        std::async(std::launch::async, &PortDirectory::systemDevices).share();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane Control"));
    const CommandLine options = parseCommandLine(QApplication::arguments());
    if (options.exitNow) {
        std::fputs(qPrintable(options.message), options.ok ? stdout : stderr);
        return options.ok ? 0 : 2;
    }

    SystemClock clock;
    SerialPort* port = createPort(options, clock, systemDevices);
    if (!port)
        return 2;
    QtPrompts prompts;
    MainWindow window(port, clock, prompts);
    prompts.setParent(&window);
    // The splash window stands while the main window starts up; start-up
    // closes it when it is done.
    showSplash(&window);
    QApplication::processEvents();
    if (!window.startUp())
        return 0;
    window.show();
    startBenchHooks(window, options);
    return QApplication::exec();
}
