#pragma once

#include <QString>

namespace corvane {

// Texts of the About window and the help entry.
QString productName();
QString firmwareLine();
QString platformLine();
// "Version " + major.minor.revision of this program.
QString versionLine();

QString basicHelpText();
QString basicHelpTitle();

} // namespace corvane
