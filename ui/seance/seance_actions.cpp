#include "ui/seance/seance_actions.h"

#include "ui/curve/curve_window.h"
#include "ui/curve/readings_table.h"
#include "ui/recording/session_record.h"
#include "ui/seance/run_exports.h"
#include "ui/seance/seance_keeper.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace thermo {

namespace {

QString withSuffix(QString path, const QString& suffix) {
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + suffix;
    }
    return path;
}

} // namespace

SeanceActions::SeanceActions(CurveWindow& window, SeanceKeeper& keeper)
    : QObject(&window), window_(window), keeper_(keeper), menuBar_(new QMenuBar(&window)) {
    menuBar_->setObjectName(QStringLiteral("seanceMenuBar"));
    QMenu* menu = menuBar_->addMenu(tr("&Séance"));
    const auto add = [&](const QString& text, const QKeySequence& keys, auto slot) {
        QAction* action = menu->addAction(text);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        window_.addAction(action);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(tr("Ouvrir…"), QKeySequence::Open, &SeanceActions::askOpen);
    add(tr("Enregistrer la séance"), QKeySequence::Save, &SeanceActions::save);
    add(tr("Enregistrer sous…"), QKeySequence(tr("Ctrl+Shift+S")), &SeanceActions::askSaveAs);
    menu->addSeparator();
    add(tr("Exporter la série…"), QKeySequence(tr("Ctrl+E")), &SeanceActions::askExport);
    add(tr("Tableau des mesures"), QKeySequence(tr("Ctrl+T")), &SeanceActions::showTable);
    window_.layout()->setMenuBar(menuBar_);
    connect(&keeper_, &SeanceKeeper::failed, this, [this](const QString& message) {
        window_.showMessage(message, true);
        offerElsewhere(message);
    });
    connect(&window_.record(), &SessionRecord::writeFailed, this, &SeanceActions::offerElsewhere);
}

SeanceActions::~SeanceActions() = default;

QString SeanceActions::folder() const {
    if (!keeper_.savedPath().isEmpty()) {
        return QFileInfo(keeper_.savedPath()).absolutePath();
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

// The failure in red, or what was done with the file.
bool SeanceActions::report(const QString& failure, const QString& done, const QString& path) {
    window_.showMessage(failure.isEmpty() ? done.arg(QDir::toNativeSeparators(path)) : failure,
                        !failure.isEmpty());
    return failure.isEmpty();
}

bool SeanceActions::open(const QString& path) {
    return report(keeper_.open(path), tr("Ouvert : %1"), path);
}

void SeanceActions::askOpen() {
    const QString path = QFileDialog::getOpenFileName(
        &window_, tr("Ouvrir une séance ou un tableau de mesures"), folder(),
        tr("Séances et tableaux (*.thermo *.csv *.txt);;Séance de Thermomètre (*.thermo);;"
           "Tableau CSV (*.csv *.txt);;Tous les fichiers (*)"));
    if (!path.isEmpty()) {
        open(path);
    }
}

bool SeanceActions::saveAs(const QString& path) {
    return report(keeper_.save(path), tr("Séance enregistrée : %1"), path);
}

void SeanceActions::save() {
    if (keeper_.savedPath().isEmpty() ||
        QFileInfo(keeper_.savedPath()).suffix() != QStringLiteral("thermo")) {
        askSaveAs();
    } else {
        saveAs(keeper_.savedPath());
    }
}

void SeanceActions::askSaveAs() {
    const QString name = QStringLiteral("seance-%1.thermo")
                             .arg(QDateTime::currentDateTime().toString(
                                 QStringLiteral("yyyy-MM-dd-HH'h'mm")));
    const QString path = QFileDialog::getSaveFileName(&window_, tr("Enregistrer la séance"),
                                                      QDir(folder()).filePath(name),
                                                      tr("Séance de Thermomètre (*.thermo)"));
    if (!path.isEmpty()) {
        saveAs(withSuffix(path, QStringLiteral("thermo")));
    }
}

void SeanceActions::askExport() {
    const SessionRecord& record = window_.record();
    const Run& run = record.run(record.selectedIndex());
    const QString french = tr("CSV français : point-virgule, virgule décimale (*.csv)");
    const QString international = tr("CSV international : virgule, point décimal (*.csv)");
    const QString workbook = tr("Classeur XLSX, une feuille par série montrée (*.xlsx)");
    QString filter = french;
    const QString path = QFileDialog::getSaveFileName(
        &window_, tr("Exporter la série « %1 »").arg(run.name),
        QDir(folder()).filePath(run.name + QStringLiteral(".csv")),
        french + QStringLiteral(";;") + international + QStringLiteral(";;") + workbook,
        &filter);
    if (path.isEmpty()) {
        return;
    }
    QString failure;
    QString written;
    if (filter == workbook) {
        written = withSuffix(path, QStringLiteral("xlsx"));
        std::vector<const Run*> shown;
        for (std::size_t i = 0; i < record.runCount(); ++i) {
            if (record.run(i).visible || i == record.selectedIndex()) {
                shown.push_back(&record.run(i));
            }
        }
        failure = exportXlsx(shown, written);
    } else {
        written = withSuffix(path, QStringLiteral("csv"));
        failure = exportCsv(*run.series, filter == french ? CsvForm::French
                                                          : CsvForm::International,
                            written);
    }
    report(failure, tr("Exporté : %1"), written);
}

void SeanceActions::offerElsewhere(const QString& message) {
    if (elsewhere_ == nullptr) {
        elsewhere_ = new QMessageBox(QMessageBox::Warning, tr("Écriture impossible"), QString(),
                                     QMessageBox::NoButton, &window_);
        elsewhere_->setObjectName(QStringLiteral("WriteFailedNotice"));
        elsewhere_->setWindowModality(Qt::NonModal);
        elsewhere_->setInformativeText(
            tr("Aucune mesure n'est perdue : la séance est en mémoire. Enregistrez-la ailleurs, "
               "sur un autre support si celui-ci a été retiré."));
        QPushButton* save =
            elsewhere_->addButton(tr("Enregistrer la séance ailleurs…"), QMessageBox::AcceptRole);
        elsewhere_->addButton(tr("Fermer"), QMessageBox::RejectRole);
        connect(save, &QPushButton::clicked, this, &SeanceActions::askSaveAs);
    }
    elsewhere_->setText(message);
    elsewhere_->show();
    elsewhere_->raise();
}

ReadingsTable& SeanceActions::table() {
    if (!table_) {
        table_ = std::make_unique<ReadingsTable>(window_.record());
        table_->setZoom(window_.zoom());
    }
    return *table_;
}

void SeanceActions::showTable() {
    ReadingsTable& t = table();
    t.show();
    t.raise();
    t.activateWindow();
}

} // namespace thermo
