#include "periphery/AboutText.h"

#include "Version.h"

namespace corvane {

QString productName() {
    return QStringLiteral("Corvane Controller");
}

QString firmwareLine() {
    return QStringLiteral("For Corvane controller boards running the Corvane update firmware");
}

QString platformLine() {
    return QStringLiteral("Linux, Windows and macOS");
}

QString versionLine() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

QString basicHelpText() {
    return QStringLiteral("See File Corvane Control and Configuration.pdf for help instructions");
}

QString basicHelpTitle() {
    return QStringLiteral("Help");
}

} // namespace corvane
