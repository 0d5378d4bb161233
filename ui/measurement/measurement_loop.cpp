#include "ui/measurement/measurement_loop.h"

#include "ui/version.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <exception>
#include <utility>

namespace thermo {

MeasurementLoop::MeasurementLoop(MainWindowFields& fields, ReadOperation& source,
                                 NumberLocale locale, QObject* parent)
    : QObject(parent), fields_(fields), cycle_(fields, source, std::move(locale)),
      timer_(new QTimer(this)) {
    // Consumers in other threads get the reading through a queued connection.
    qRegisterMetaType<Reading>();
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(tickMilliseconds);
    connect(timer_, &QTimer::timeout, this, &MeasurementLoop::tick);
    timer_->start();
}

void MeasurementLoop::tick() {
    try {
        const Reading reading = takeReading(cycle_);
        if (reading.failure) {
            // Shown where the temperature would be; the program must not die in a lesson.
            fields_.setTemperatureFontSize(messageFontPoints);
            fields_.setText(Field::Text1, reading.failure->message);
        }
        emit readingTaken(reading);
    } catch (const std::exception& error) {
        stopOnDefect(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        stopOnDefect(tr("exception d'un type inconnu"));
    }
}

void MeasurementLoop::stopOnDefect(const QString& error) {
    timer_->stop();
    QMessageBox::critical(
        nullptr, QString::fromUtf8(programName),
        tr("Erreur interne du programme : %1\n\nLe programme va s'arrêter.").arg(error));
    QCoreApplication::exit(1);
}

} // namespace thermo
