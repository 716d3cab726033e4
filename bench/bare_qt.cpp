// A bare Qt Widgets program: the yardstick for the start-up benchmark.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <cstring>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(1000, 700);
    window.show();
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--quit-when-shown") == 0)
            QTimer::singleShot(0, &app, &QApplication::quit);
    return QApplication::exec();
}
