#include "app/BenchHooks.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/QtPrompts.h"
#include "common/Clock.h"
#include "link/QtSerialPort.h"
#include "sim/SimOptions.h"
#include "sim/SimSerialPort.h"

#include <QApplication>
#include <cstdio>
#include <future>

using namespace corvane;

namespace {

QStringList argumentList(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Everything the options can get wrong is found before a display is needed.
bool checkSimulatorOptions(const CommandLine& options) {
    if (!options.simulate)
        return true;
    sim::SimOptions parsed;
    QString why;
    if (sim::parseSimOptions(options.simulatorArgs, &parsed, &why))
        return true;
    std::fprintf(stderr, "corvane-control: simulated board: %s\n", qPrintable(why));
    return false;
}

// The serial port: the real one, or with --simulate the simulated board
// behind port 1.
SerialPort* createPort(const CommandLine& options, Clock& clock,
                       std::shared_future<QVector<SerialDevice>> systemDevices) {
    if (options.simulate) {
        QString error;
        SerialPort* port = sim::SimSerialPort::create(clock, options.simulatorArgs, &error);
        if (!port)
            std::fprintf(stderr, "%s\n", qPrintable(error));
        return port;
    }
    const QStringList bindings = options.portBindings;
    return new QtSerialPort([systemDevices, bindings](const PortDirectory::Identities& remembered) {
        PortDirectory directory = PortDirectory::fromSystemDevices(systemDevices.get(), remembered);
        for (const QString& binding : bindings)
            directory.bindFromOption(binding, nullptr);
        return directory;
    });
}

} // namespace

int main(int argc, char* argv[]) {
    const CommandLine options = parseCommandLine(argumentList(argc, argv));
    if (options.exitNow) {
        std::fputs(qPrintable(options.message), options.ok ? stdout : stderr);
        return options.ok ? 0 : 2;
    }
    if (!checkSimulatorOptions(options))
        return 2;
    // Listing the serial devices takes a while on some systems; do it while
    // the application and its window are being set up.
    const std::shared_future<QVector<SerialDevice>> systemDevices =
        std::async(std::launch::async, &PortDirectory::systemDevices).share();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane Control"));

    SystemClock clock;
    SerialPort* port = createPort(options, clock, systemDevices);
    if (!port)
        return 2;
    QtPrompts prompts;
    MainWindow window(port, clock, prompts);
    prompts.setParent(&window);
    // Start-up takes a few tens of milliseconds: a splash window would only
    // flash. It is the About window (Help > About).
    window.startUp(); // without a usable port it says so, and the window opens all the same
    window.show();
    window.startFromCommandLine(options);
    startBenchHooks(window, options);
    return QApplication::exec();
}
