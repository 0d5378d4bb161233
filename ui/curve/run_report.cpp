#include "ui/curve/run_report.h"

#include "core/run_summary.h"
#include "ui/curve/curve_tools.h"
#include "ui/curve/curve_window.h"
#include "ui/layout/fixed_window.h"
#include "ui/recording/session_record.h"

#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace thermo {

RunReport::RunReport(CurveWindow& window, CurveTools& tools)
    : QObject(&window), window_(window), tools_(tools) {
    QPushButton* summary = window.addActionButton("summaryButton", tr("Résumé…"));
    describe(summary, tr("Résumé"),
             tr("La série en quelques lignes : dernière température, minimum, maximum, durée, "
                "modèles et notes"));
    QPushButton* print = window.addActionButton("printButton", tr("Imprimer…"));
    describe(print, tr("Imprimer"),
             tr("Imprime la courbe avec sa légende, ses modèles, ses notes et son résumé, sur "
                "papier ou dans un fichier PDF"));
    connect(summary, &QPushButton::clicked, this, &RunReport::showSummary);
    connect(print, &QPushButton::clicked, this, &RunReport::print);
}

QStringList RunReport::lines() const {
    const CurveWindow::ToolRun run = window_.toolRun();
    QStringList lines;
    for (const std::string& line :
         runSummary(run.series, run.annotations, window_.record().locale())) {
        lines << QString::fromStdString(line);
    }
    return lines;
}

void RunReport::showSummary() {
    QDialog dialog(&window_);
    dialog.setObjectName(QStringLiteral("summaryDialog"));
    dialog.setWindowTitle(tr("Résumé de la série"));
    auto* text = new QPlainTextEdit(lines().join(QLatin1Char('\n')), &dialog);
    text->setObjectName(QStringLiteral("summaryText"));
    text->setReadOnly(true);
    // Read only, but the keyboard moves in it, line by line, as a screen reader follows.
    text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    text->setTabChangesFocus(true);
    describe(text, tr("Résumé de la série"), QString());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    buttons->button(QDialogButtonBox::Close)->setText(tr("Fermer"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.resize(window_.width() * 3 / 4, window_.height() / 2);
    text->setFocus();
    dialog.exec();
}

void RunReport::print() {
    const QString title =
        tr("Courbe de température, %1")
            .arg(QLocale().toString(QDateTime::currentDateTime(), QLocale::LongFormat));
    const std::optional<QString> failure = tools_.print(&window_, title, lines());
    if (failure) {
        window_.showMessage(failure->isEmpty() ? tr("Courbe imprimée.") : *failure,
                            !failure->isEmpty());
    }
}

} // namespace thermo
