// A bare Qt Widgets program: the yardstick for the start-up benchmark.
// --with-text gives the window a menu bar, a label and a status bar text, so
// the font machinery is loaded as in any program that shows words.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <cstring>

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
    if (quitWhenShown)
        QTimer::singleShot(0, &app, &QApplication::quit);
    return QApplication::exec();
}
