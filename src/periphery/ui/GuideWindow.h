#pragma once

#include <QWidget>

class QTextBrowser;

namespace corvane {

// guide ("User Guide"): the user guide, read in the program itself so it
// follows the night colours and needs no other program: the HTML made at
// build time where there is one, else the Markdown.
class GuideWindow : public QWidget {
    Q_OBJECT
public:
    explicit GuideWindow(const QString& page, QWidget* owner);

    QTextBrowser* txtGuide = nullptr;
};

// The guide's first page beside the executable (the build tree) or where
// `cmake --install` put it; empty when it is in neither place.
QString userGuidePage(const QString& applicationDir);

} // namespace corvane
