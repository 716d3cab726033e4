#include "common/Prompts.h"

namespace corvane {

QString applicationTitle() {
    return QStringLiteral("Corvane Control");
}

} // namespace corvane
