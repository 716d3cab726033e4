#include "periphery/Outputs.h"

#include "link/BoardLine.h"

namespace corvane {

QString outputCommand(Output output, bool on) {
    // The pin commands carry no closing "#".
    switch (output) {
    case Output::Fan:
        return QLatin1String(on ? "#:f+#" : "#:f-#");
    case Output::Pin7:
        return QLatin1String(on ? "#>1R" : "#<1R");
    case Output::Pin14:
        break;
    }
    return QLatin1String(on ? "#>R" : "#<R");
}

void sendOutput(BoardLine& line, Output output, bool on) {
    line.send(outputCommand(output, on));
}

} // namespace corvane
