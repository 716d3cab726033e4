#pragma once

#include "periphery/Outputs.h"

#include <QObject>
#include <QString>

namespace corvane {

class BoardLine;

// The fan and the two user pins: whether this program switched each on (the
// board does not report it; the menu's check marks show it) and the labels
// the user gave the pins.
class AuxiliaryOutputs : public QObject {
    Q_OBJECT
public:
    explicit AuxiliaryOutputs(BoardLine& line, QObject* parent = nullptr);

    bool isOn(Output output) const { return m_on[static_cast<int>(output)]; }
    // Switches the output to the other state, sending its command.
    void toggle(Output output);

    const QString& pin7Label() const { return m_pin7Label; }
    const QString& pin14Label() const { return m_pin14Label; }
    // Taken as typed, an empty text included.
    void setLabels(const QString& pin7, const QString& pin14);

signals:
    void changed();

private:
    BoardLine& m_line;
    bool m_on[3] = {};
    QString m_pin7Label = QStringLiteral("Pin 7");
    QString m_pin14Label = QStringLiteral("Pin 14");
};

} // namespace corvane
