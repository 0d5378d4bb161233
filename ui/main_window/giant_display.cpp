#include "ui/main_window/giant_display.h"

#include "core/reading_view.h"
#include "ui/accessibility/accessible_roles.h"
#include "ui/accessibility/announcer.h"
#include "ui/accessibility/quiet_updates.h"
#include "ui/layout/fonts.h"
#include "ui/layout/largest_fit.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"

#include <QAction>
#include <QEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

namespace thermo {

namespace {

const QColor groundColour(0xFF, 0xE0, 0xC0);
const QColor temperatureColour(0xFF, 0xC0, 0xFF);
// The main window's title colour.
const QColor titleColour(0xC8, 0x00, 0x00);

// The widest temperature the field shows in a lesson: the type is sized on it, so that it
// does not jump from one reading to the next.
const QString widestTemperature = QStringLiteral("\u221288,8 \u00B0C");

bool fits(const QFont& font, const QString& text, const QSize& room) {
    const QRect needed = QFontMetrics(font).boundingRect(QRect(QPoint(), room),
                                                         Qt::AlignCenter | Qt::TextWordWrap, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// The largest bold type, in pixels, in which `text` fits `room`, wrapped at spaces.
int largestPixelSize(const QString& text, const QSize& room) {
    constexpr int smallest = 8;
    QFont font = sansFont(8.25, true);
    return largestFitting(smallest, std::max(smallest, room.height()), [&](int pixels) {
        font.setPixelSize(pixels);
        return fits(font, text, room);
    });
}

QString shownText(const Reading& reading, const NumberLocale& locale) {
    const auto view = temperatureView(reading, locale);
    return view ? QString::fromStdString(view->text) : QString();
}

} // namespace

GiantDisplay::GiantDisplay(Measurement& measurement, Form1& mainWindow)
    : QWidget(&mainWindow, Qt::Window), measurement_(measurement), mainWindow_(mainWindow),
      locale_(measurement.locale()), title_(new QLabel(tr("Température calculée"), this)),
      value_(new QLabel(this)), open_(new QAction(tr("Affichage géant\tF11"), this)),
      spoken_(locale_, pace) {
    setObjectName(QStringLiteral("giantDisplay"));
    setWindowTitle(tr("Température calculée \u2014 affichage géant (Espace pour l'entendre, "
                      "Échap pour revenir)"));
    setAccessibleName(tr("Affichage géant de la température. Espace pour l'entendre, Échap pour "
                         "revenir"));
    setAccessibleRole(this, QAccessible::Window);
    setAutoFillBackground(true);
    QPalette ground = palette();
    ground.setColor(QPalette::Window, groundColour);
    setPalette(ground);

    title_->setObjectName(QStringLiteral("giantTitle"));
    title_->setAlignment(Qt::AlignCenter);
    QPalette red = title_->palette();
    red.setColor(QPalette::WindowText, titleColour);
    title_->setPalette(red);

    value_->setObjectName(QStringLiteral("giantValue"));
    // Named, it is not renamed at every reading: what it shows is said at a listener's pace.
    value_->setAccessibleName(tr("Température calculée"));
    value_->setAlignment(Qt::AlignCenter);
    value_->setWordWrap(true);
    value_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    value_->setAutoFillBackground(true);
    QPalette field = value_->palette();
    field.setColor(QPalette::Window, temperatureColour);
    field.setColor(QPalette::WindowText, Qt::black);
    value_->setPalette(field);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(value_, 1);

    auto* leaveKeys = new QShortcut(this);
    leaveKeys->setKeys({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_F11)});
    connect(leaveKeys, &QShortcut::activated, this, &GiantDisplay::leave);
    auto* sayKeys = new QShortcut(this);
    sayKeys->setKeys(
        {QKeySequence(Qt::Key_Space), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(sayKeys, &QShortcut::activated, this, &GiantDisplay::sayValue);
    auto* openKey = new QShortcut(QKeySequence(Qt::Key_F11), &mainWindow);
    connect(openKey, &QShortcut::activated, this, &GiantDisplay::open);
    open_->setObjectName(QStringLiteral("giantOpen"));
    connect(open_, &QAction::triggered, this, &GiantDisplay::open);

    connect(&measurement, &Measurement::readingTaken, this, &GiantDisplay::showReading);
}

QString GiantDisplay::text() const {
    return value_->text();
}

void GiantDisplay::open() {
    // Hidden, it followed no reading: it starts from the last one, as the temperature field.
    setValue(shownText(measurement_.lastReading(), locale_));
    if (QScreen* screen = mainWindow_.screen()) {
        setGeometry(screen->geometry());
    }
    showFullScreen();
    raise();
    activateWindow();
    spoken_.sayNow(measurement_.lastReading());
    opening_ = true;
}

bool GiantDisplay::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && opening_) {
        opening_ = false;
        sayValue();
    }
    return QWidget::event(event);
}

void GiantDisplay::sayValue() {
    announce(*this, value_->text());
}

void GiantDisplay::leave() {
    opening_ = false;
    // Back to a plain window before hiding: shown again, it is made full screen anew.
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    hide();
    mainWindow_.activateWindow();
}

void GiantDisplay::showReading(const Reading& reading) {
    if (!isVisible()) {
        return;
    }
    setValue(shownText(reading, locale_));
    if (const auto said = spoken_.offer(reading)) {
        announce(*this, *said);
    }
}

void GiantDisplay::setValue(const QString& text) {
    if (text != value_->text()) {
        const QuietUpdates quiet;
        value_->setText(text);
        fitText();
    }
}

void GiantDisplay::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitText();
}

void GiantDisplay::fitText() {
    const int margin = height() / 20;
    layout()->setContentsMargins(margin, margin / 2, margin, margin);
    QFont title = sansFont(8.25, true);
    title.setPixelSize(std::max(12, height() / 14));
    title_->setFont(title);

    const QSize room =
        QSize(width() - 3 * margin, height() - title_->sizeHint().height() - 3 * margin)
            .expandedTo(QSize(1, 1));
    // A temperature is sized on the widest one; a message on itself.
    const QString text = value_->text();
    const QString sample =
        text.endsWith(QStringLiteral("\u00B0C")) && text.size() <= widestTemperature.size()
            ? widestTemperature
            : text;
    QFont value = sansFont(8.25, true);
    value.setPixelSize(largestPixelSize(sample, room));
    if (value_->font() != value) {
        value_->setFont(value);
    }
}

} // namespace thermo
