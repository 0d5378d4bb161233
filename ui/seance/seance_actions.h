#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QAction;
class QMenuBar;
class QMessageBox;

namespace thermo {

class CurveWindow;
class ReadingsTable;
class SeanceKeeper;

// The curve window's "Séance" menu: "Ouvrir…" (Ctrl+O) a séance or a CSV file, "Enregistrer
// la séance" (Ctrl+S) and "Enregistrer sous…" (Ctrl+Maj+S) as a .thermo file, "Exporter la
// série…" (Ctrl+E) as French or international CSV or as an XLSX workbook of the runs shown,
// and "Tableau" (Ctrl+T), the table of the selected run. What happened is said on the
// window's message line; a failure names the file and the cause.
class SeanceActions : public QObject {
    Q_OBJECT
public:
    SeanceActions(CurveWindow& window, SeanceKeeper& keeper);
    ~SeanceActions() override;

    // "Ouvrir…" without its dialog: `thermometre FICHIER.thermo`, a test.
    bool open(const QString& path);
    bool saveAs(const QString& path);
    ReadingsTable& table();
    void showTable();
    // A file that can no longer be written (the CSV kept up to date, the journal): said at once
    // beside the window, with a button to save the séance elsewhere; the window stays usable.
    void offerElsewhere(const QString& message);

private:
    void askOpen();
    void save();
    void askSaveAs();
    void askExport();
    QString folder() const;
    bool report(const QString& failure, const QString& done, const QString& path);

    CurveWindow& window_;
    SeanceKeeper& keeper_;
    QMenuBar* menuBar_;
    std::unique_ptr<ReadingsTable> table_;
    QMessageBox* elsewhere_ = nullptr; // owned by the window
};

} // namespace thermo
