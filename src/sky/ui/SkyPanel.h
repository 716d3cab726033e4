#pragma once

#include "sky/Catalogues.h"

#include <QGroupBox>

class QComboBox;
class QLabel;

namespace corvane {

class Clock;
class MountSession;
class Prompts;
class Target;

// Targets from a list instead of typed coordinates: the object catalogues
// and the planets, whose position is computed for the computer's clock.
// Picking writes the target; nothing is sent to the controller.
class SkyPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit SkyPanel(MountSession& session, QWidget* parent = nullptr);

    // Start-up: the catalogues of the list in `folder`; none chosen yet.
    void loadCatalogList(const QString& folder);

    void chooseCatalogue(int index);
    void chooseItem(int index);
    void choosePlanet(int index);

    QLabel* lblCatalogs = nullptr;
    QLabel* lblItems = nullptr;
    QLabel* lblPlanets = nullptr;
    QComboBox* cbCatalogs = nullptr;
    QComboBox* cbItems = nullptr;
    QComboBox* cbPlanets = nullptr;

signals:
    // A list or catalogue that could not be read as a whole, for the status bar.
    void problem(const QString& text);

private:
    void writeRecord(int index);

    Clock& m_clock;
    Prompts& m_prompts;
    Target& m_target;
    QString m_folder;
    QVector<QStringList> m_records;
};

} // namespace corvane
