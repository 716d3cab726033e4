#include "periphery/ui/GuideWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace corvane {

GuideWindow::GuideWindow(const QString& page, QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("guide"));
    setWindowTitle(QStringLiteral("User Guide"));
    txtGuide = new QTextBrowser(this);
    txtGuide->setObjectName(QStringLiteral("txtGuide"));
    txtGuide->setOpenExternalLinks(true);
    txtGuide->setSource(QUrl::fromLocalFile(page), page.endsWith(QLatin1String(".md"))
                                                       ? QTextDocument::MarkdownResource
                                                       : QTextDocument::HtmlResource);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtGuide);
    resize(760, 640);
}

QString userGuidePage(const QString& applicationDir) {
    for (const char* folder : {"/guide/", "/../share/doc/corvane-control/guide/"}) {
        for (const char* name : {"index.html", "index.md"}) {
            const QString path = applicationDir + QLatin1String(folder) + QLatin1String(name);
            if (QFileInfo(path).isFile())
                return QFileInfo(path).canonicalFilePath();
        }
    }
    return QString();
}

} // namespace corvane
