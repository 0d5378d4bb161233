#include "ui/parameters/parametres.h"

#include "core/circuit_parameters.h"
#include "ui/accessibility/accessible_roles.h"
#include "ui/application.h"
#include "ui/layout/fonts.h"
#include "ui/layout/screen_fit.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

namespace thermo {

namespace {

constexpr int clientWidth = 4140;
constexpr int clientHeight = 3930;

// The dialog's layout in twips; the controls are found by their object names.
constexpr FixedWindow::Placement placements[] = {
    {"Label6", {240, 120, 1815, 255}},    {"Text1", {240, 480, 735, 375}},
    {"Label1", {1440, 480, 1575, 195}},   {"Label8", {1440, 720, 2655, 255}},
    {"Label7", {240, 1200, 1815, 255}},   {"Text2", {240, 1560, 735, 375}},
    {"Label2", {1440, 1560, 2655, 255}},  {"Label4", {1440, 1800, 2655, 255}},
    {"Text3", {240, 2400, 735, 375}},     {"Label3", {1440, 2400, 2655, 255}},
    {"Label5", {1440, 2640, 2655, 255}},  {"Command1", {1440, 3360, 975, 375}},
    {"Command2", {240, 3360, 1140, 375}},
};

QLineEdit* addField(QWidget* window, const char* name, const std::string& text,
                    const QString& accessibleName, const QString& description) {
    auto* field = new QLineEdit(QString::fromStdString(text), window);
    field->setObjectName(QString::fromLatin1(name));
    // The window's ground colour is for the labels; the fields keep the system's colours.
    field->setPalette(QPalette());
    describe(field, accessibleName, description);
    return field;
}

} // namespace

parametres::parametres(Application& application)
    : FixedWindow("parametres", QStringLiteral("Paramètres de la CTN"), clientWidth, clientHeight),
      application_(application) {
    setAccessibleRole(this, QAccessible::Dialog);
    const CircuitParameters defaults = CircuitParameters::defaults();
    const QFont bold = sansFont(8.25, true);
    QFont heading = bold;
    heading.setUnderline(true);
    QLabel* label6 = addLabel("Label6", QStringLiteral("Résistance série R"), heading);
    text1_ = addField(this, "Text1", defaults.r, tr("Résistance série R"),
                      tr("Résistance R en série avec la thermistance, en ohms"));
    label6->setBuddy(text1_);
    addLabel("Label1", QStringLiteral("Valeur en OHM"), bold);
    addLabel("Label8", QStringLiteral("Valeur nominale 10000"), bold);
    // The red of the original, darkened to be read on the window's ground (4.5:1).
    addLabel("Label7", QStringLiteral("Thermistance CTN"), heading, QColor(0xC8, 0x00, 0x00));
    text2_ = addField(this, "Text2", defaults.a, tr("Paramètre A"),
                      tr("Résistance nominale de la thermistance à 25 °C, en ohms"));
    // A label says its field's name, without the colon a screen reader would spell out.
    QLabel* label2 = addLabel("Label2", QStringLiteral("Paramètre A :"), bold);
    label2->setBuddy(text2_);
    label2->setAccessibleName(text2_->accessibleName());
    addLabel("Label4", QStringLiteral("Valeur nominale à 25°C"), bold);
    text3_ = addField(this, "Text3", defaults.b, tr("Paramètre B"),
                      tr("Indice de sensibilité thermique B de la thermistance, en kelvins"));
    QLabel* label3 = addLabel("Label3", QStringLiteral("Paramètre B :"), bold);
    label3->setBuddy(text3_);
    label3->setAccessibleName(text3_->accessibleName());
    addLabel("Label5", QStringLiteral("indice de sensibilité thermique"), bold);
    command1_ = addButton("Command1", QStringLiteral("Validation"));
    describe(command1_, tr("Validation"),
             tr("Transmet R, A et B à la fenêtre de mesure et l'affiche"));
    command2_ = addButton("Command2", QStringLiteral("Étalonnage\u2026"));
    describe(command2_, tr("Étalonnage de la thermistance"),
             tr("Ouvre l'assistant qui trouve A et B à partir de températures connues"));

    place(placements);

    setTabOrder(text1_, text2_);
    setTabOrder(text2_, text3_);
    setTabOrder(text3_, command1_);
    setTabOrder(command1_, command2_);
    text1_->setFocus();

    connect(command1_, &QPushButton::clicked, this, &parametres::validate);
    connect(command2_, &QPushButton::clicked, &application_, &Application::showCalibration);
}

parametres::~parametres() = default;

QString parametres::seriesText() const {
    return text1_->text();
}

// Shown and raised, but the keyboard focus stays where the user is (the calibration window):
// taken away silently, the next keys would edit the dialog's fields unawares.
void parametres::setThermistorTexts(const QString& a, const QString& b) {
    text2_->setText(a);
    text3_->setText(b);
    const bool quiet = testAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
    raise();
    setAttribute(Qt::WA_ShowWithoutActivating, quiet);
}

void parametres::validate() {
    // The first access to the main window creates it; its first tick can only come after
    // this sequence, from the event loop.
    Form1& mainWindow = application_.mainWindow();
    application_.measurement().setParameters(
        {text1_->text().toStdString(), text2_->text().toStdString(), text3_->text().toStdString()});
    for (std::size_t i = 0; i < validated_.size(); ++i) {
        validated_[i] = fields()[i]->text();
    }
    returnTo(mainWindow);
}

void parametres::returnTo(Form1& mainWindow) {
    hide();
    // From now on a dialog of the main window, which the window manager keeps above it: a
    // click on the greyed main window never hides it. Before, it is the program's only window,
    // with its place in the task bar.
    if (windowType() != Qt::Dialog) {
        setWindowFlags(windowFlags() | Qt::Dialog);
    }
    mainWindow.winId();
    windowHandle()->setTransientParent(mainWindow.windowHandle());
    mainWindow.setTemperatureFieldEnabled(true);
    mainWindow.setEnabled(true);
    mainWindow.show();
    mainWindow.raise();
    mainWindow.activateWindow();
}

void parametres::closeEvent(QCloseEvent* event) {
    event->accept();
    Form1* mainWindow = application_.existingMainWindow();
    if (mainWindow == nullptr) {
        QCoreApplication::exit(0);
        return;
    }
    for (std::size_t i = 0; i < validated_.size(); ++i) {
        fields()[i]->setText(validated_[i]);
    }
    returnTo(*mainWindow);
}

void parametres::showEvent(QShowEvent* event) {
    FixedWindow::showEvent(event);
    text1_->setFocus();
    Form1* mainWindow = application_.existingMainWindow();
    if (mainWindow != nullptr && mainWindow->windowHandle() != nullptr) {
        QRect frame = frameGeometry();
        frame.moveCenter(mainWindow->frameGeometry().center());
        move(onScreen(frame, *mainWindow).topLeft());
    }
}

} // namespace thermo
