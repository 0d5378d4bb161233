#include "ui/main_window/form1.h"

#include "core/reading_view.h"
#include "ui/accessibility/accessible_roles.h"
#include "ui/accessibility/fault_announcer.h"
#include "ui/accessibility/quiet_updates.h"
#include "ui/accessibility/temperature_voice.h"
#include "ui/acquisition/orphy_view.h"
#include "ui/layout/fonts.h"
#include "ui/main_window/circuit_picture.h"
#include "ui/main_window/display_field.h"
#include "ui/main_window/temperature_field.h"
#include "ui/measurement/measurement.h"
#include "ui/version.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <utility>

namespace thermo {

namespace {

constexpr int clientWidth = 13875;
constexpr int clientHeight = 6585;

const QColor binaryColour(0xFF, 0xFF, 0xC0); // the conversion group's fields
const QColor voltageColour(0xC0, 0xC0, 0xFF);
const QColor temperatureColour(0xFF, 0xC0, 0xFF);
// The temperature's title: the red of the original, darkened to be read on the window's ground
// (4.5:1).
const QColor temperatureTitleColour(0xC8, 0x00, 0x00);

// The window's layout in twips; the controls are found by their object names.
constexpr FixedWindow::Placement placements[] = {
    {"Image1", {360, 120, 6885, 3435}},   {"Label1", {9120, 360, 3375, 375}},
    {"Label2", {8880, 960, 3495, 255}},   {"Text7", {8760, 1440, 3495, 495}},
    {"Label9", {12600, 1560, 855, 255}},  {"Text4", {9960, 2160, 1215, 495}},
    {"label4", {11880, 2280, 1455, 255}}, {"Text2", {9960, 2880, 1215, 495}},
    {"Label5", {11880, 3000, 1215, 255}}, {"Label6", {360, 3720, 3015, 255}},
    {"Label10", {4080, 3720, 3135, 255}}, {"orphy1", {7440, 3960, 2535, 495}},
    {"Text3", {1200, 4200, 1455, 555}},   {"Text8", {4920, 4200, 1455, 555}},
    {"Label7", {2400, 4800, 2535, 255}},  {"Command2", {8880, 4920, 3375, 735}},
    {"Text1", {2400, 5160, 2535, 555}},   {"Text6", {5400, 5400, 975, 375}},
    {"Text9", {5400, 5760, 975, 375}},    {"Text10", {5400, 6120, 975, 375}},
    {"Command1", {360, 5760, 1092, 612}}, {"Label3", {12360, 6120, 1215, 255}},
};

// The curve's button, in the free space left of Command2 and on its row.
constexpr FixedWindow::Placement curveButton[] = {{"Command3", {7440, 4920, 1215, 735}}};

// The frame around the conversion group.
constexpr FixedWindow::Line lines[] = {
    {"Line1", {7680, 120, 7680, 3600}},
    {"Line2", {13560, 120, 7680, 120}},
    {"Line3", {13560, 3600, 13560, 120}},
    {"Line4", {7680, 3600, 13560, 3600}},
};

DisplayField* addField(QWidget* window, const char* name, const QColor& background) {
    auto* field = new DisplayField(background, window);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

// A field and the label beside it say the same to a screen reader, which reads a field by its
// label: what the field shows, with its unit.
void name(QWidget* field, QLabel* label, const QString& name, const QString& description) {
    describe(field, name, description);
    label->setBuddy(field);
    label->setAccessibleName(name);
}

QLineEdit* addStoreField(QWidget* window, const char* name) {
    auto* field = new QLineEdit(window);
    field->setObjectName(QString::fromLatin1(name));
    field->setFocusPolicy(Qt::NoFocus);
    field->hide();
    return field;
}

} // namespace

Form1::Form1(Measurement& measurement, QWidget* parametersDialog)
    : FixedWindow("Form1", QStringLiteral("Thermomètre avec une thermistance"), clientWidth,
                  clientHeight, Qt::WindowMinimizeButtonHint),
      measurement_(measurement), parametersDialog_(parametersDialog),
      orphy1_(new OrphyView(measurement.control(), this)) {
    setAccessibleRole(this, QAccessible::Window);
    orphy1_->setObjectName(QStringLiteral("orphy1"));

    auto* picture = new CircuitPicture(this);
    picture->setObjectName(QStringLiteral("Image1"));
    describe(picture, tr("Schéma du montage"),
             tr("Pont diviseur alimenté sous 5 V : la résistance R entre A et B, la thermistance "
                "CTN entre B et M. L'entrée EA0 mesure Uth = Ubm, l'entrée EA1 mesure "
                "Ut = Uam."));
    addLines(lines);

    const QFont regular = sansFont(8.25);
    const QFont bold = sansFont(8.25, true);
    const QFont heading = sansFont(9.75, true);
    addLabel("Label1", QStringLiteral("Conversion Analogique Numérique"), bold);
    addLabel("Label2", QStringLiteral("Entrée Analogique EA0 d'ORPHY GTS2"), bold,
             QColor(0xC0, 0x00, 0x00));
    text7_ = addField(this, "Text7", binaryColour);
    QLabel* label9 = addLabel("Label9", QStringLiteral("Binaire"), regular);
    text4_ = addField(this, "Text4", binaryColour);
    QLabel* label4 = addLabel("label4", QStringLiteral("Hexadécimal"), regular);
    text2_ = addField(this, "Text2", binaryColour);
    QLabel* label5 = addLabel("Label5", QStringLiteral("Décimal"), regular);
    text3_ = addField(this, "Text3", voltageColour);
    text8_ = addField(this, "Text8", voltageColour);
    QLabel* label6 =
        addLabel("Label6", QStringLiteral("Tension calculée  Uth = Ubm"), heading, Qt::blue);
    QLabel* label10 =
        addLabel("Label10", QStringLiteral("Tension calculée  Ut = Uam"), heading, Qt::blue);
    QLabel* label7 = addLabel("Label7", QStringLiteral("Température calculée"), heading,
                              temperatureTitleColour, Qt::AlignHCenter);
    command2_ = addButton("Command2", QStringLiteral("Saisie des paramètres du montage"));
    name(text7_, label9, tr("Code binaire"),
         tr("Code de l'entrée EA0 en binaire, seize chiffres au plus"));
    name(text4_, label4, tr("Code hexadécimal"), tr("Code de l'entrée EA0 en hexadécimal"));
    name(text2_, label5, tr("Code décimal"),
         tr("Code de l'entrée EA0 en décimal, de 0 à 65535 ; 32768 correspond à 0 V"));
    name(text3_, label6, tr("Tension Uth, en volts"), tr("Tension aux bornes de la thermistance"));
    name(text8_, label10, tr("Tension Ut, en volts"), tr("Tension d'alimentation du montage"));
    describe(command2_, tr("Saisie des paramètres du montage"),
             tr("Ouvre la fenêtre des paramètres R, A et B ; la mesure continue pendant la "
                "saisie"));

    text1_ = new TemperatureField(temperatureColour, this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setEnabled(false);
    name(text1_, label7, tr("Température calculée, en degrés Celsius"),
         tr("Température de la thermistance, ou ce qui empêche de la calculer"));
    // Heard as it changes while it has the focus.
    new TemperatureVoice(measurement_, *text1_);

    text6_ = addStoreField(this, "Text6");
    text9_ = addStoreField(this, "Text9");
    text10_ = addStoreField(this, "Text10");
    mirrorParameters(measurement_.parameters());

    command1_ = addButton("Command1", QStringLiteral("Quitter"));
    QPalette white = command1_->palette();
    white.setColor(QPalette::Button, Qt::white);
    command1_->setPalette(white);
    describe(command1_, tr("Quitter"), tr("Arrête la mesure et ferme le programme"));

    command3_ = addButton("Command3", QStringLiteral("Courbe"));
    command3_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    describe(command3_, tr("Courbe"),
             tr("Ouvre la courbe de la température depuis la première validation, pour "
                "l'enregistrer (Ctrl+G)"));

    addLabel("Label3",
             QStringLiteral("%1 %2").arg(QString::fromUtf8(programName),
                                         QString::fromLatin1(programVersion)),
             serifFont(6.75), Qt::black, Qt::AlignHCenter);

    place(placements);
    place(curveButton);
    setZoom(1.0);

    // The acquisition control's own inputs come first, then the table's order, "Quitter" last:
    // a key pressed once too often does not end the lesson.
    QList<QWidget*> focusOrder;
    if (orphy1_->focusPolicy() & Qt::TabFocus) {
        focusOrder << orphy1_;
    }
    for (QWidget* child : orphy1_->findChildren<QWidget*>()) {
        if (child->focusPolicy() & Qt::TabFocus) {
            focusOrder << child;
        }
    }
    focusOrder << text2_ << text3_ << text4_ << text7_ << text8_ << text1_ << command2_ << command3_
               << command1_;
    for (qsizetype i = 1; i < focusOrder.size(); ++i) {
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
    }

    connect(command1_, &QPushButton::clicked, this, &Form1::quit);
    connect(command2_, &QPushButton::clicked, this, &Form1::showParameters);
    connect(command3_, &QPushButton::clicked, this, &Form1::curveAsked);

    measurement_.setFields(this);
    connect(&measurement_, &Measurement::parametersChanged, this, &Form1::mirrorParameters);
    connect(&measurement_, &Measurement::readingTaken, this, &Form1::showStaleness);
    new FaultAnnouncer(measurement_, *this);
}

Form1::~Form1() {
    measurement_.setFields(nullptr);
}

void Form1::mirrorParameters(const CircuitParameters& parameters) {
    text6_->setText(QString::fromStdString(parameters.r));
    text9_->setText(QString::fromStdString(parameters.a));
    text10_->setText(QString::fromStdString(parameters.b));
}

void Form1::showStaleness(const Reading& reading) {
    const ReadingView view = readingView(reading);
    for (DisplayField* field : {text2_, text3_, text4_, text7_, text8_}) {
        const bool stale = field == text8_ ? view.ea1Stale : view.ea0Stale;
        if (stale != field->isStale()) {
            field->setStale(stale);
            // Slanted as well as grey: colour is never the only sign.
            QFont font = scaledLayout().baseFont(field);
            font.setItalic(stale);
            scaledLayout().setBaseFont(field, font);
        }
    }
}

QLineEdit* Form1::lineField(Field field) const {
    switch (field) {
    case Field::Text2:
        return text2_;
    case Field::Text3:
        return text3_;
    case Field::Text4:
        return text4_;
    case Field::Text7:
        return text7_;
    case Field::Text8:
        return text8_;
    case Field::Text1:
        break;
    }
    return nullptr;
}

std::string Form1::text(Field field) const {
    if (field == Field::Text1) {
        return text1_->toPlainText().toStdString();
    }
    return lineField(field)->text().toStdString();
}

// A field is written only when its text changes, and quietly: a screen reader reads it when
// asked, and hears the temperature through its voice, not ten values a second.
void Form1::setText(Field field, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    const QuietUpdates quiet;
    if (field == Field::Text1) {
        if (text1_->toPlainText() != shown) {
            text1_->setPlainText(shown);
        }
    } else if (QLineEdit* line = lineField(field); line->text() != shown) {
        line->setText(shown);
    }
}

void Form1::setTemperatureFontSize(int points) {
    QFont font = scaledLayout().baseFont(text1_);
    if (font.pointSize() != points) {
        font.setPointSize(points);
        scaledLayout().setBaseFont(text1_, font);
    }
}

void Form1::setZoom(double zoom) {
    FixedWindow::setZoom(zoom);
    for (DisplayField* field : {text2_, text3_, text4_, text7_, text8_}) {
        field->setZoom(zoom);
    }
    text1_->setZoom(zoom);
    orphy1_->setZoom(zoom);
}

void Form1::setTemperatureFieldEnabled(bool enabled) {
    text1_->setEnabled(enabled);
}

void Form1::setQuitCheck(std::function<bool()> mayQuit) {
    mayQuit_ = std::move(mayQuit);
}

bool Form1::quit() {
    if (mayQuit_ && !mayQuit_()) {
        return false;
    }
    measurement_.stop();
    // exit() rather than quit(): quit() would first close every window, and the parameters
    // dialog treats its closing as a Validation.
    QCoreApplication::exit(0);
    return true;
}

void Form1::showParameters() {
    if (parametersDialog_ == nullptr) {
        return;
    }
    parametersDialog_->show();
    parametersDialog_->raise();
    parametersDialog_->activateWindow();
    setEnabled(false);
}

void Form1::closeEvent(QCloseEvent* event) {
    event->setAccepted(quit());
}

} // namespace thermo
