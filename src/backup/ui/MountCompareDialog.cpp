#include "backup/ui/MountCompareDialog.h"

#include "common/ui/Widgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace corvane {

MountCompareDialog::MountCompareDialog(const QVector<BackupDifference>& differences,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("MountCompare"));
    setWindowTitle(QStringLiteral("Restore Mount"));
    gridCompare = new QTableWidget(static_cast<int>(differences.size()), 3, this);
    gridCompare->setObjectName(QStringLiteral("gridCompare"));
    gridCompare->setHorizontalHeaderLabels({QStringLiteral("Setting"),
                                            QStringLiteral("On the board"),
                                            QStringLiteral("In the backup")});
    gridCompare->horizontalHeader()->setStretchLastSection(true);
    gridCompare->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < differences.size(); ++row) {
        const BackupDifference& d = differences.at(row);
        const QString cells[3] = {d.name, d.board, d.file};
        for (int column = 0; column < 3; ++column)
            gridCompare->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    cmdWrite = makeButton(QStringLiteral("cmdWrite"), QStringLiteral("Write to the Board"),
                          QString(), this);
    cmdWrite->setDefault(true);
    cmdCancel = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), QString(), this);
    connect(cmdWrite, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdWrite);
    buttons->addWidget(cmdCancel);
    auto* page = new QVBoxLayout(this);
    page->addWidget(new QLabel(QStringLiteral("Writing the backup changes these on the board; "
                                              "then they are stored and read back."),
                               this));
    page->addWidget(gridCompare, 1);
    page->addLayout(buttons);
    resize(520, 360);
}

} // namespace corvane
