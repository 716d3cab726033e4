// What a change of tab asks the controller for.
#include "app/MainWindow.h"

#include "app/PositionPolling.h"
#include "config/ui/SettingsPage.h"
#include "pec/ui/PecPage.h"

#include <QTabWidget>

namespace corvane {

namespace {
constexpr int kSiderealTimeLength = 9; // HH:MM:SS#
constexpr int kTabChangeSettleMs = 100;
constexpr int kGuidingTab = 1;
} // namespace

// "#:GS#" first, whose answer is only let go: it comes during the pause and
// must not be read as the reply last awaited. Then the page's own query.
void MainWindow::onTabChanged(int index) {
    m_polling->setGuidingPageShown(index == kGuidingTab);
    if (index == 0)
        settings->clearSelections();
    Sequence change(QStringLiteral("tab change"));
    change
        .then([this] {
            m_channel.expect(ReplyFormat::Text, ReplyKind::SiderealTime, kSiderealTimeLength);
        })
        .send(QLatin1String(Cmd::GetSiderealTime))
        .pause(kTabChangeSettleMs);
    switch (index) {
    case 0:
        // A loaded mount data file that waits to be stored keeps its values:
        // the board's are not read over them.
        change.then([this] {
            if (!m_shared.fileSettingsPending)
                m_channel.getSettings(m_controller.version().splitSettingsDump);
        });
        break;
    case kGuidingTab:
        change.then([this] { m_channel.getPos(); });
        break;
    case 2:
        change.then([this] { pec->queryState(); });
        break;
    default:
        break;
    }
    change.then([this] { m_channel.armDispatch(); });
    m_channel.run(std::move(change));
}

} // namespace corvane
