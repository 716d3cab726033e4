#include "periphery/AuxiliaryOutputs.h"

namespace corvane {

AuxiliaryOutputs::AuxiliaryOutputs(BoardLine& line, QObject* parent)
    : QObject(parent), m_line(line) {}

void AuxiliaryOutputs::toggle(Output output) {
    bool& on = m_on[static_cast<int>(output)];
    on = !on;
    sendOutput(m_line, output, on);
    emit changed();
}

void AuxiliaryOutputs::setLabels(const QString& pin7, const QString& pin14) {
    m_pin7Label = pin7;
    m_pin14Label = pin14;
    emit changed();
}

} // namespace corvane
