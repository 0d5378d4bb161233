#include "acquisition/bench_panel.h"

#include "acquisition/code_source.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>

namespace thermo {

namespace {

// Only the size is set, so the family still comes from the window.
QFont smallFont(qreal points) {
    QFont font;
    font.setPointSizeF(points);
    return font;
}

// Type sizes and spacing at 100 %.
constexpr qreal spinBoxPoints = 7.5;
constexpr qreal captionPoints = 6.5;
constexpr int sidePixels = 2;
constexpr int bottomPixels = 1;
constexpr int settingsSpacing = 2;

int scaled(int pixels, double zoom) {
    return static_cast<int>(std::lround(pixels * zoom));
}

struct FaultEntry {
    BenchFault fault;
    const char* objectName;
    const char* text;
    const char* captionSuffix;
};

constexpr FaultEntry faultEntries[] = {
    {BenchFault::None, "faultNone", QT_TRANSLATE_NOOP("thermo::BenchPanel", "Montage normal"), ""},
    {BenchFault::OpenThermistor, "faultOpenThermistor",
     QT_TRANSLATE_NOOP("thermo::BenchPanel", "Thermistance coupée"),
     QT_TRANSLATE_NOOP("thermo::BenchPanel", " : coupure")},
    {BenchFault::ShortedThermistor, "faultShortedThermistor",
     QT_TRANSLATE_NOOP("thermo::BenchPanel", "Thermistance en court-circuit"),
     QT_TRANSLATE_NOOP("thermo::BenchPanel", " : court-circuit")},
    {BenchFault::Unplugged, "faultUnplugged",
     QT_TRANSLATE_NOOP("thermo::BenchPanel", "Interface débranchée"),
     QT_TRANSLATE_NOOP("thermo::BenchPanel", " : débranché")},
};

const FaultEntry& entryOf(BenchFault fault) {
    for (const auto& entry : faultEntries) {
        if (entry.fault == fault) {
            return entry;
        }
    }
    return faultEntries[0];
}

QDoubleSpinBox* makeSpinBox(QWidget* parent, const char* objectName, const QString& accessibleName,
                            const QString& toolTip) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(accessibleName);
    box->setToolTip(toolTip);
    box->setFont(smallFont(spinBoxPoints));
    // A value is taken when typing is finished, not at every keystroke: typing "4.85" must
    // not pass through a supply of 4 V.
    box->setKeyboardTracking(false);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Right click belongs to the panel's fault menu.
    box->setContextMenuPolicy(Qt::NoContextMenu);
    return box;
}

} // namespace

BenchPanel::BenchPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("benchPanel"));
    setAccessibleName(tr("Banc simulé"));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Plain);
    // The control's back colour is the system's window background, i.e. the base colour.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("benchCaption"));
    caption_->setFont(smallFont(captionPoints));

    temperature_ = makeSpinBox(this, "benchTemperature", tr("Température simulée"),
                               tr("Température de la thermistance sur le banc simulé"));
    temperature_->setRange(SimulatedBench::minCelsius, SimulatedBench::maxCelsius);
    temperature_->setDecimals(1);
    temperature_->setSingleStep(0.5);
    temperature_->setSuffix(QStringLiteral(" \u00B0C"));

    supply_ = makeSpinBox(this, "benchSupply", tr("Tension d'alimentation simulée"),
                          tr("Tension d'alimentation Ut = Uam du banc simulé"));
    supply_->setRange(SimulatedBench::minSupply, SimulatedBench::maxSupply);
    supply_->setDecimals(2);
    supply_->setSingleStep(0.05);
    supply_->setSuffix(QStringLiteral(" V"));

    settings_ = new QHBoxLayout;
    settings_->setSpacing(settingsSpacing);
    settings_->addWidget(temperature_);
    settings_->addWidget(supply_);

    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(sidePixels, 0, sidePixels, bottomPixels);
    layout_->setSpacing(0);
    layout_->addWidget(caption_);
    layout_->addLayout(settings_);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("benchFaultMenu"));
    menu_->setAccessibleName(tr("Pannes simulées"));
    menu_->addSection(tr("Pannes du banc simulé"));
    faults_ = new QActionGroup(this);
    faults_->setExclusive(true);
    for (const auto& entry : faultEntries) {
        auto* action = new QAction(tr(entry.text), faults_);
        action->setObjectName(QString::fromLatin1(entry.objectName));
        action->setCheckable(true);
        action->setData(static_cast<int>(entry.fault));
        menu_->addAction(action);
    }

    connect(temperature_, &QDoubleSpinBox::valueChanged, this, &BenchPanel::applyTemperature);
    connect(supply_, &QDoubleSpinBox::valueChanged, this, &BenchPanel::applySupply);
    connect(faults_, &QActionGroup::triggered, this, &BenchPanel::applyFault);

    setSource(nullptr);
}

void BenchPanel::setSource(CodeSource* source) {
    source_ = source;
    bench_ = dynamic_cast<SimulatedBench*>(source);
    temperature_->setVisible(bench_ != nullptr);
    supply_->setVisible(bench_ != nullptr);
    faults_->setEnabled(bench_ != nullptr);
    caption_->setAlignment(bench_ ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    caption_->setToolTip(bench_ ? tr("Clic droit : simuler une panne du montage") : QString());
    refresh();
}

void BenchPanel::refresh() {
    if (bench_) {
        const QSignalBlocker temperatureBlocker(temperature_);
        const QSignalBlocker supplyBlocker(supply_);
        temperature_->setValue(bench_->temperature());
        supply_->setValue(bench_->supplyVoltage());
        faultAction(bench_->fault())->setChecked(true);
    }
    updateCaption();
}

QAction* BenchPanel::faultAction(BenchFault fault) const {
    for (auto* action : faults_->actions()) {
        if (action->data().toInt() == static_cast<int>(fault)) {
            return action;
        }
    }
    return nullptr;
}

void BenchPanel::setZoom(double zoom) {
    caption_->setFont(smallFont(captionPoints * zoom));
    temperature_->setFont(smallFont(spinBoxPoints * zoom));
    supply_->setFont(smallFont(spinBoxPoints * zoom));
    layout_->setContentsMargins(scaled(sidePixels, zoom), 0, scaled(sidePixels, zoom),
                                scaled(bottomPixels, zoom));
    settings_->setSpacing(scaled(settingsSpacing, zoom));
}

void BenchPanel::contextMenuEvent(QContextMenuEvent* event) {
    if (bench_) {
        faultAction(bench_->fault())->setChecked(true);
    }
    menu_->exec(event->globalPos());
}

void BenchPanel::applyTemperature(double celsius) {
    if (bench_) {
        bench_->setTemperature(celsius);
    }
}

void BenchPanel::applySupply(double volts) {
    if (bench_) {
        bench_->setSupplyVoltage(volts);
    }
}

void BenchPanel::applyFault(QAction* action) {
    if (bench_) {
        bench_->setFault(static_cast<BenchFault>(action->data().toInt()));
        updateCaption();
    }
}

void BenchPanel::updateCaption() {
    if (!source_) {
        caption_->clear();
        caption_->setAccessibleName(QString());
        return;
    }
    QString text = QString::fromStdString(source_->name());
    const bool faulty = bench_ && bench_->fault() != BenchFault::None;
    if (faulty) {
        text += tr(entryOf(bench_->fault()).captionSuffix);
    }
    caption_->setText(text);
    caption_->setAccessibleName(text);
    // A staged fault is easy to forget; red makes it stand out. An empty palette inherits.
    QPalette palette;
    if (faulty) {
        const QColor red(0xC0, 0x00, 0x00);
        // On the base background a label draws with Text rather than WindowText.
        palette.setColor(QPalette::WindowText, red);
        palette.setColor(QPalette::Text, red);
    }
    caption_->setPalette(palette);
}

} // namespace thermo
