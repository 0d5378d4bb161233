#include "ui/form1.h"

#include "acquisition/orphy_control.h"
#include "ui/acquisition/orphy_view.h"
#include "ui/circuit_picture.h"
#include "ui/display_field.h"
#include "ui/fonts.h"
#include "ui/scaled_layout.h"
#include "ui/twips.h"
#include "ui/version.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTextEdit>
#include <QTextOption>
#include <QTimer>
#include <algorithm>

namespace thermo {

namespace {

constexpr int clientWidth = 13875;
constexpr int clientHeight = 6585;
constexpr int text1BorderTwips = 15; // one pixel at 100 %

const QColor windowColour(0xFF, 0xE0, 0xC0);
const QColor binaryColour(0xFF, 0xFF, 0xC0); // the conversion group's fields
const QColor voltageColour(0xC0, 0xC0, 0xFF);
const QColor temperatureColour(0xFF, 0xC0, 0xFF);

struct Placement {
    const char* name;
    TwipsRect twips;
};

// The window's layout in twips; the controls are found by their object names.
constexpr Placement placements[] = {
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

struct LinePlacement {
    const char* name;
    int x1, y1, x2, y2; // twips
};

// The frame around the conversion group.
constexpr LinePlacement linePlacements[] = {
    {"Line1", 7680, 120, 7680, 3600},
    {"Line2", 13560, 120, 7680, 120},
    {"Line3", 13560, 3600, 13560, 120},
    {"Line4", 7680, 3600, 13560, 3600},
};

NumberLocale userNumberLocale() {
    return NumberLocale{QLocale().decimalPoint().toStdString()};
}

QLabel* addLabel(QWidget* window, const char* name, const QString& text, const QFont& font,
                 const QColor& colour = Qt::black, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* label = new QLabel(text, window);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    return label;
}

QLineEdit* addField(QWidget* window, const char* name, const QColor& background) {
    auto* field = new DisplayField(background, window);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

QLineEdit* addStoreField(QWidget* window, const char* name, const char* text) {
    auto* field = new QLineEdit(QString::fromLatin1(text), window);
    field->setObjectName(QString::fromLatin1(name));
    field->setFocusPolicy(Qt::NoFocus);
    field->hide();
    return field;
}

// One pixel at 100 %.
constexpr int lineTwips = 15;

QFrame* addLine(QWidget* window, const LinePlacement& line) {
    auto* frame = new QFrame(window);
    frame->setObjectName(QString::fromLatin1(line.name));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setAutoFillBackground(true);
    QPalette colours = frame->palette();
    colours.setColor(QPalette::Window, Qt::black);
    frame->setPalette(colours);
    return frame;
}

// Both end points are drawn, so the line covers them inclusively; it thickens with the zoom.
void placeLine(QFrame* frame, const LinePlacement& line, double zoom) {
    const QPoint from(toPixels(std::min(line.x1, line.x2), zoom),
                      toPixels(std::min(line.y1, line.y2), zoom));
    const QPoint to(toPixels(std::max(line.x1, line.x2), zoom),
                    toPixels(std::max(line.y1, line.y2), zoom));
    const int thickness = std::max(1, toPixels(lineTwips, zoom));
    frame->setGeometry(QRect(from, to + QPoint(thickness - 1, thickness - 1)));
}

// What a screen reader says of a control: its name, then what it shows.
void describe(QWidget* control, const QString& name, const QString& description) {
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

QPushButton* addButton(QWidget* window, const char* name, const QString& text) {
    auto* button = new QPushButton(text, window);
    button->setObjectName(QString::fromLatin1(name));
    // No Enter or Escape button in this window.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

Form1::Form1(QWidget* parametersDialog)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      parametersDialog_(parametersDialog),
      layout_(std::make_unique<ScaledLayout>(*this, clientWidth, clientHeight, sansFont(8.25))),
      orphy1_(new OrphyView(OrphyProperties::mainWindowSet(), this)),
      binding_(orphy1_->control(), userNumberLocale()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Thermomètre avec une thermistance"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, windowColour);
    setPalette(colours);

    orphy1_->setObjectName(QStringLiteral("orphy1"));

    auto* picture = new CircuitPicture(this);
    picture->setObjectName(QStringLiteral("Image1"));
    describe(picture, tr("Schéma du montage"),
             tr("Pont diviseur alimenté sous 5 V : la résistance R entre A et B, la thermistance "
                "CTN entre B et M. L'entrée EA0 mesure Uth = Ubm, l'entrée EA1 mesure "
                "Ut = Uam."));
    for (const LinePlacement& line : linePlacements) {
        lines_.push_back(addLine(this, line));
    }

    const QFont regular = sansFont(8.25);
    const QFont bold = sansFont(8.25, true);
    const QFont heading = sansFont(9.75, true);
    addLabel(this, "Label1", QStringLiteral("Conversion Analogique Numérique"), bold);
    addLabel(this, "Label2", QStringLiteral("Entrée Analogique EA0 d'ORPHY GTS2"), bold,
             QColor(0xC0, 0x00, 0x00));
    text7_ = addField(this, "Text7", binaryColour);
    addLabel(this, "Label9", QStringLiteral("Binaire"), regular)->setBuddy(text7_);
    text4_ = addField(this, "Text4", binaryColour);
    addLabel(this, "label4", QStringLiteral("Hexadécimal"), regular)->setBuddy(text4_);
    text2_ = addField(this, "Text2", binaryColour);
    addLabel(this, "Label5", QStringLiteral("Décimal"), regular)->setBuddy(text2_);
    text3_ = addField(this, "Text3", voltageColour);
    text8_ = addField(this, "Text8", voltageColour);
    addLabel(this, "Label6", QStringLiteral("Tension calculée  Uth = Ubm"), heading, Qt::blue)
        ->setBuddy(text3_);
    addLabel(this, "Label10", QStringLiteral("Tension calculée  Ut = Uam"), heading, Qt::blue)
        ->setBuddy(text8_);
    QLabel* label7 = addLabel(this, "Label7", QStringLiteral("Température calculée"), heading,
                              Qt::red, Qt::AlignHCenter);
    command2_ = addButton(this, "Command2", QStringLiteral("Saisie des paramètres du montage"));
    describe(text7_, tr("Code binaire"),
             tr("Code de l'entrée EA0 en binaire, seize chiffres au plus"));
    describe(text4_, tr("Code hexadécimal"), tr("Code de l'entrée EA0 en hexadécimal"));
    describe(text2_, tr("Code décimal"),
             tr("Code de l'entrée EA0 en décimal, de 0 à 65535 ; 32768 correspond à 0 V"));
    describe(text3_, tr("Tension Uth"), tr("Tension aux bornes de la thermistance, en volts"));
    describe(text8_, tr("Tension Ut"), tr("Tension d'alimentation du montage, en volts"));
    describe(command2_, tr("Saisie des paramètres du montage"),
             tr("Ouvre la fenêtre des paramètres R, A et B ; la mesure continue pendant la "
                "saisie"));

    // Text1 wraps, so that the low-supply message shows whole on two centred lines at 8 pt.
    text1_ = new QTextEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text1_->setAcceptRichText(false);
    text1_->setTabChangesFocus(true);
    text1_->setLineWrapMode(QTextEdit::WidgetWidth);
    QTextOption centred = text1_->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    centred.setWrapMode(QTextOption::WordWrap);
    text1_->document()->setDefaultTextOption(centred);
    text1_->setFont(sansFont(temperatureFontPoints, true));
    QPalette temperatureColours = text1_->palette();
    temperatureColours.setColor(QPalette::Base, temperatureColour);
    temperatureColours.setColor(QPalette::Disabled, QPalette::Text,
                                temperatureColours.color(QPalette::Active, QPalette::Text));
    text1_->setPalette(temperatureColours);
    text1_->setEnabled(false);
    label7->setBuddy(text1_);
    describe(text1_, tr("Température calculée"),
             tr("Température de la thermistance en degrés Celsius, ou ce qui empêche de la "
                "calculer"));

    text6_ = addStoreField(this, "Text6", "10000");
    text9_ = addStoreField(this, "Text9", "10000");
    text10_ = addStoreField(this, "Text10", "4275");

    command1_ = addButton(this, "Command1", QStringLiteral("Quitter"));
    QPalette white = command1_->palette();
    white.setColor(QPalette::Button, Qt::white);
    command1_->setPalette(white);
    describe(command1_, tr("Quitter"), tr("Arrête la mesure et ferme le programme"));

    addLabel(this, "Label3",
             QStringLiteral("%1 %2").arg(QString::fromUtf8(programName),
                                         QString::fromLatin1(programVersion)),
             serifFont(6.75), Qt::black, Qt::AlignHCenter);

    for (const Placement& placement : placements) {
        layout_->add(
            findChild<QWidget*>(QString::fromLatin1(placement.name), Qt::FindDirectChildrenOnly),
            placement.twips);
    }
    setZoom(1.0);

    // The acquisition control's own inputs come first, then the table's order.
    QList<QWidget*> focusOrder;
    if (orphy1_->focusPolicy() & Qt::TabFocus) {
        focusOrder << orphy1_;
    }
    for (QWidget* child : orphy1_->findChildren<QWidget*>()) {
        if (child->focusPolicy() & Qt::TabFocus) {
            focusOrder << child;
        }
    }
    focusOrder << command1_ << text2_ << text3_ << text4_ << text7_ << text8_ << text1_
               << command2_;
    for (qsizetype i = 1; i < focusOrder.size(); ++i) {
        setTabOrder(focusOrder[i - 1], focusOrder[i]);
    }

    connect(command1_, &QPushButton::clicked, this, &Form1::quit);
    connect(command2_, &QPushButton::clicked, this, &Form1::showParameters);

    measurement_ = new MeasurementLoop(*this, binding_, userNumberLocale(), this);
}

Form1::~Form1() = default;

OrphyControl& Form1::acquisitionControl() noexcept {
    return orphy1_->control();
}

QLineEdit* Form1::lineField(Field field) const {
    switch (field) {
    case Field::Text2:
        return text2_;
    case Field::Text3:
        return text3_;
    case Field::Text4:
        return text4_;
    case Field::Text6:
        return text6_;
    case Field::Text7:
        return text7_;
    case Field::Text8:
        return text8_;
    case Field::Text9:
        return text9_;
    case Field::Text10:
        return text10_;
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

void Form1::setText(Field field, const std::string& text) {
    if (field == Field::Text1) {
        text1_->setPlainText(QString::fromStdString(text));
    } else {
        lineField(field)->setText(QString::fromStdString(text));
    }
}

void Form1::setTemperatureFontSize(int points) {
    QFont font = layout_->baseFont(text1_);
    font.setPointSize(points);
    layout_->setBaseFont(text1_, font);
}

void Form1::setZoom(double zoom) {
    layout_->apply(zoom);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        placeLine(lines_[i], linePlacements[i], zoom);
    }
    for (QLineEdit* field : {text2_, text3_, text4_, text7_, text8_}) {
        static_cast<DisplayField*>(field)->setZoom(zoom);
    }
    // Text1's border and margin grow like the other measurement fields'.
    const int border = std::max(1, toPixels(text1BorderTwips, zoom));
    text1_->setLineWidth(border);
    text1_->document()->setDocumentMargin(border);
    orphy1_->setZoom(zoom);
}

double Form1::zoom() const noexcept {
    return layout_->zoom();
}

void Form1::setTemperatureFieldEnabled(bool enabled) {
    text1_->setEnabled(enabled);
}

void Form1::tick() {
    measurement_->tick();
}

void Form1::quit() {
    timer().stop();
    // exit() rather than quit(): quit() would first close every window, and the parameters
    // dialog treats its closing as a Validation.
    QCoreApplication::exit(0);
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
    event->accept();
    quit();
}

} // namespace thermo
