#include "link/ui/TrafficWindow.h"

#include "common/FileSafety.h"
#include "common/Prompts.h"
#include "common/ui/Widgets.h"
#include "link/TrafficLog.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

TrafficWindow::TrafficWindow(TrafficLog& log, Prompts& prompts, QWidget* owner)
    : QWidget(owner, Qt::Window), m_log(log), m_prompts(prompts) {
    setObjectName(QStringLiteral("traffic"));
    setWindowTitle(QStringLiteral("Serial Traffic"));
    txtTraffic = new QPlainTextEdit(this);
    txtTraffic->setObjectName(QStringLiteral("txtTraffic"));
    txtTraffic->setReadOnly(true);
    txtTraffic->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtTraffic->setMaximumBlockCount(TrafficLog::kKeptEntries);
    txtTraffic->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    chkPause = new QCheckBox(QStringLiteral("Pause"), this);
    chkPause->setObjectName(QStringLiteral("chkPause"));
    chkHex = new QCheckBox(QStringLiteral("Hex"), this);
    chkHex->setObjectName(QStringLiteral("chkHex"));
    cmdClear = makeButton(QStringLiteral("cmdClear"), QStringLiteral("Clear"), QString(), this);
    cmdSave = makeButton(QStringLiteral("cmdSave"), QStringLiteral("Save…"), QString(), this);
    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(chkPause), static_cast<QWidget*>(chkHex)})
        buttons->addWidget(w);
    buttons->addStretch(1);
    buttons->addWidget(cmdClear);
    buttons->addWidget(cmdSave);
    auto* page = new QVBoxLayout(this);
    page->addWidget(txtTraffic, 1);
    page->addLayout(buttons);
    resize(720, 420);

    connect(&m_log, &TrafficLog::added, this, [this](const TrafficLog::Entry& e) {
        if (!chkPause->isChecked())
            txtTraffic->appendPlainText(TrafficLog::line(e, chkHex->isChecked()));
    });
    // Resuming or switching hex shows the whole log again.
    connect(chkPause, &QCheckBox::toggled, this, &TrafficWindow::showAll);
    connect(chkHex, &QCheckBox::toggled, this, &TrafficWindow::showAll);
    connect(cmdClear, &QPushButton::clicked, this, [this] {
        m_log.clear();
        txtTraffic->clear();
    });
    connect(cmdSave, &QPushButton::clicked, this, &TrafficWindow::save);
    showAll();
}

void TrafficWindow::showAll() {
    QStringList lines;
    for (const TrafficLog::Entry& e : m_log.entries())
        lines << TrafficLog::line(e, chkHex->isChecked());
    txtTraffic->setPlainText(lines.join(QLatin1Char('\n')));
}

// The log as shown, through the one file dialog, written whole or not at all.
void TrafficWindow::save() {
    const QString path = m_prompts.saveFileName(QStringLiteral("Text file (*.txt)|*.txt"));
    if (path.isEmpty())
        return;
    QString why;
    const QByteArray text = (txtTraffic->toPlainText() + QLatin1Char('\n')).toUtf8();
    if (replaceFile(path, text, &why) != Replaced::Yes)
        m_prompts.message(QStringLiteral("The traffic could not be saved: ") + why,
                          applicationTitle(), PromptIcon::Warning, PromptButtons::Ok);
}

} // namespace corvane
