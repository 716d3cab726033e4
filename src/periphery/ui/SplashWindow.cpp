#include "periphery/ui/SplashWindow.h"

#include "periphery/AboutText.h"

#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

QPointer<SplashWindow> g_splash;

QLabel* makeLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

SplashWindow::SplashWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(productName());
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->installEventFilter(this);

    lblProductName = makeLabel("lblProductName", productName(), Frame1);
    QFont big = lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    lblProductName->setFont(big);
    Label3 = makeLabel("Label3", firmwareLine(), Frame1);
    lblPlatform = makeLabel("lblPlatform", platformLine(), Frame1);
    lblVersion = makeLabel("lblVersion", versionLine(), Frame1);
    Command1 = new QPushButton(QStringLiteral("Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, &QDialog::close);

    auto* inner = new QVBoxLayout(Frame1);
    inner->setContentsMargins(30, 20, 30, 20);
    inner->setSpacing(12);
    inner->addWidget(lblProductName);
    inner->addWidget(Label3);
    inner->addWidget(lblPlatform);
    inner->addWidget(lblVersion);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Frame1);
    outer->addWidget(Command1, 0, Qt::AlignRight);
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void SplashWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

SplashWindow* showSplash(QWidget* owner) {
    // A closed window is on its way out: a new one replaces it.
    if (!g_splash || !g_splash->isVisible())
        g_splash = new SplashWindow(owner);
    g_splash->show();
    g_splash->raise();
    g_splash->activateWindow();
    return g_splash;
}

void closeSplash() {
    if (g_splash)
        g_splash->close();
}

SplashWindow* openSplash() {
    return g_splash && g_splash->isVisible() ? g_splash.data() : nullptr;
}

} // namespace corvane
