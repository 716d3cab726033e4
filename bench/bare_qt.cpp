// A bare Qt Widgets program: the yardstick for the start-up benchmark.
// --with-text gives the window a menu bar, a label and a status bar text, so
// the font machinery is loaded as in any program that shows words.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <ctime>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    bool withText = false;
    bool quitWhenShown = false;
    for (int i = 1; i < argc; ++i) {
        withText = withText || std::strcmp(argv[i], "--with-text") == 0;
        quitWhenShown = quitWhenShown || std::strcmp(argv[i], "--quit-when-shown") == 0;
    }
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    if (withText) {
        window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Quit"));
        window.setCentralWidget(new QLabel(QStringLiteral("Hello"), &window));
        window.statusBar()->showMessage(QStringLiteral("Ready"));
    }
    window.resize(1000, 700);
    window.show();
    if (quitWhenShown) {
        // Once the window is up, say when (wall clock) and leave.
        QTimer::singleShot(0, &app, [] {
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            std::printf("shown-at-ns %lld\n", now.tv_sec * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
