#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace corvane {

// frmSplash: the program's name, version and platforms. Shown as the About
// window. It closes on its Close
// button, a click on its frame or any key, and deletes itself then.
class SplashWindow : public QDialog {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

    QFrame* Frame1 = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblVersion = nullptr;
    QPushButton* Command1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The one splash window: shown modeless over `owner` (created when none is
// open, raised when one is), closed at the end of start-up and at shutdown.
SplashWindow* showSplash(QWidget* owner);
void closeSplash();
SplashWindow* openSplash();

} // namespace corvane
