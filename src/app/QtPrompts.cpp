#include "app/QtPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace corvane {

PromptAnswer QtPrompts::message(const QString& text, const QString& title, PromptIcon icon,
                                PromptButtons buttons) {
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (icon) {
    case PromptIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case PromptIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case PromptIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case PromptIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    default:
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
}

QString QtPrompts::openFileName(const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, QString(), QString(), qtFileFilter(filter),
                                        nullptr, QFileDialog::ReadOnly);
}

QString QtPrompts::saveFileName(const QString& filter) {
    return QFileDialog::getSaveFileName(m_parent, QString(), QString(), qtFileFilter(filter));
}

} // namespace corvane
