#pragma once

#include <QString>

namespace corvane {

class MainWindow;

// The user guide's pictures, taken from the real window: connected (to the
// simulated board, as the guide shows it), each page, the PEC table and its
// chart, the sharing dialog and the traffic window, and the guiding page in
// the night colours. PNG files in `folder`; the program quits when done
// (exit code 1 when a picture could not be written).
void takeScreenshots(MainWindow& window, const QString& folder);

} // namespace corvane
