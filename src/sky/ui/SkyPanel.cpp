#include "sky/ui/SkyPanel.h"

#include "common/Clock.h"
#include "common/Prompts.h"
#include "motion/Target.h"
#include "motion/TargetFields.h"
#include "session/MountSession.h"
#include "sky/PlanetPositions.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace corvane {

namespace {

QComboBox* makeList(const char* name, QLabel* label, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setMinimumContentsLength(12);
    label->setBuddy(combo);
    return combo;
}

} // namespace

SkyPanel::SkyPanel(MountSession& session, QWidget* parent)
    : QGroupBox(QStringLiteral("Catalogs and Planets"), parent), m_clock(session.clock()),
      m_prompts(session.prompts()), m_target(session.target()) {
    setObjectName(QStringLiteral("SkyFrame"));
    lblCatalogs = new QLabel(QStringLiteral("Catalog"), this);
    lblCatalogs->setObjectName(QStringLiteral("lblCatalogs"));
    lblItems = new QLabel(QStringLiteral("Item"), this);
    lblItems->setObjectName(QStringLiteral("lblItems"));
    lblPlanets = new QLabel(QStringLiteral("Planet"), this);
    lblPlanets->setObjectName(QStringLiteral("lblPlanets"));
    cbCatalogs = makeList("cbCatalogs", lblCatalogs, this);
    cbItems = makeList("cbItems", lblItems, this);
    cbPlanets = makeList("cbPlanets", lblPlanets, this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblCatalogs, 0, 0);
    grid->addWidget(cbCatalogs, 0, 1);
    grid->addWidget(lblItems, 1, 0);
    grid->addWidget(cbItems, 1, 1);
    grid->addWidget(lblPlanets, 2, 0);
    grid->addWidget(cbPlanets, 2, 1);
    grid->setColumnStretch(1, 1);

    cbPlanets->addItems(planetNames());
    cbPlanets->setCurrentIndex(-1);
    connect(cbCatalogs, &QComboBox::activated, this, &SkyPanel::chooseCatalogue);
    connect(cbItems, &QComboBox::activated, this, &SkyPanel::chooseItem);
    connect(cbPlanets, &QComboBox::activated, this, &SkyPanel::choosePlanet);
}

void SkyPanel::loadCatalogList(const QString& folder) {
    m_folder = folder;
    cbCatalogs->clear();
    QString why;
    if (!folder.isEmpty()) {
        for (const CatalogueEntry& entry : readCatalogueList(folder, &why))
            cbCatalogs->addItem(entry.name, entry.records);
    }
    cbCatalogs->setCurrentIndex(-1);
    if (!why.isEmpty())
        emit problem(why);
}

// The records the file holds, the first one chosen at once.
void SkyPanel::chooseCatalogue(int index) {
    QString why;
    m_records = readCatalogue(m_folder, cbCatalogs->itemText(index),
                              cbCatalogs->itemData(index).toInt(), &why);
    cbItems->clear();
    cbItems->setToolTip(QString());
    for (const QStringList& record : m_records)
        cbItems->addItem(record.value(0));
    if (!why.isEmpty())
        emit problem(why);
    if (m_records.isEmpty())
        return;
    cbItems->setCurrentIndex(0);
    chooseItem(0);
}

void SkyPanel::chooseItem(int index) {
    if (index < 0 || index >= m_records.size())
        return;
    const QStringList& record = m_records.at(index);
    cbItems->setToolTip(recordToolTip(record));
    writeRecord(index);
}

// A record whose position is not written as numbers would reach the
// controller as a malformed command: it is shown but not taken as target.
void SkyPanel::writeRecord(int index) {
    const QStringList& record = m_records.at(index);
    const std::optional<BoardPosition> target = targetFromFields(recordTarget(record));
    if (!target) {
        emit problem(QStringLiteral("%1: its position cannot be read; the target is unchanged.")
                         .arg(record.value(0)));
        return;
    }
    m_target.set(*target);
}

void SkyPanel::choosePlanet(int index) {
    if (index == kEarthIndex) {
        m_prompts.message(QStringLiteral("Just look down"), applicationTitle(), PromptIcon::None,
                          PromptButtons::Ok);
        return;
    }
    const PlanetFieldTexts t = planetFieldTexts(index, m_clock.utcNow());
    if (const auto target = targetFromFields({t.hours, t.minutes, t.degrees, t.decMinutes}))
        m_target.set(*target);
}

} // namespace corvane
