#include "ui/acquisition/source_panel.h"

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

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace

SourcePanel::SourcePanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("sourcePanel"));
    setAccessibleName(tr("Source des mesures"));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Plain);
    // The control's back colour is the system's window background, i.e. the base colour.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("sourceCaption"));
    caption_->setFont(smallFont(captionPoints));

    settings_ = new QHBoxLayout;
    settings_->setSpacing(settingsSpacing);

    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(sidePixels, 0, sidePixels, bottomPixels);
    layout_->setSpacing(0);
    layout_->addWidget(caption_);
    layout_->addLayout(settings_);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("acquisitionMenu"));
    menu_->setAccessibleName(tr("Source et réglages des mesures"));
}

void SourcePanel::setSource(CodeSource* source) {
    source_ = source;
    clearSettings();
    if (source_) {
        for (const NumberSetting& setting : source_->numberSettings()) {
            addNumber(setting);
        }
        for (const ChoiceSetting& setting : source_->choiceSettings()) {
            addChoices(setting);
        }
    }
    const bool hasNumbers = !numbers_.empty();
    caption_->setAlignment(hasNumbers ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    // Alone in the panel, a long name ("Arduino Firmata 2.5 (StandardFirmata) sur
    // /dev/ttyACM0") takes as many lines as the panel has room for.
    caption_->setWordWrap(!hasNumbers);
    const auto choiceSettings = source_ ? source_->choiceSettings() : std::vector<ChoiceSetting>{};
    caption_->setToolTip(choiceSettings.empty() ? QString() : text(choiceSettings.front().hint));
    refresh();
}

void SourcePanel::clearSettings() {
    for (QDoubleSpinBox* box : numbers_) {
        delete box;
    }
    numbers_.clear();
    for (QAction* entry : menuEntries_) {
        delete entry;
    }
    menuEntries_.clear();
    for (QActionGroup* group : choices_) {
        delete group;
    }
    choices_.clear();
}

void SourcePanel::addNumber(const NumberSetting& setting) {
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(text(setting.key));
    box->setAccessibleName(text(setting.label));
    box->setToolTip(text(setting.toolTip));
    box->setFont(smallFont(spinBoxPoints * zoom_));
    // A value is taken when typing is finished, not at every keystroke: typing "4.85" must
    // not pass through a supply of 4 V.
    box->setKeyboardTracking(false);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Right click belongs to the panel's menu.
    box->setContextMenuPolicy(Qt::NoContextMenu);
    box->setRange(setting.minimum, setting.maximum);
    box->setDecimals(setting.decimals);
    box->setSingleStep(setting.step);
    box->setSuffix(QLatin1Char(' ') + text(setting.unit));
    connect(box, &QDoubleSpinBox::valueChanged, this, [this, key = setting.key](double value) {
        if (source_) {
            source_->setNumber(key, value);
        }
    });
    settings_->addWidget(box);
    // A layout would show it only once back in the event loop.
    if (isVisible()) {
        box->show();
    }
    numbers_.push_back(box);
}

void SourcePanel::addChoices(const ChoiceSetting& setting) {
    menuEntries_.push_back(menu_->addSection(text(setting.title)));
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    group->setObjectName(text(setting.key));
    for (const Choice& choice : setting.choices) {
        auto* action = new QAction(text(choice.text), group);
        action->setObjectName(text(choice.key));
        action->setCheckable(true);
        menu_->addAction(action);
        menuEntries_.push_back(action);
        connect(action, &QAction::triggered, this, [this, key = setting.key, choice = choice.key] {
            if (source_) {
                source_->choose(key, choice);
            }
        });
    }
    choices_.push_back(group);
}

void SourcePanel::refresh() {
    if (source_) {
        for (QDoubleSpinBox* box : numbers_) {
            const double value = source_->number(box->objectName().toStdString());
            // Only a value changed elsewhere is written, so that what the user is typing
            // stays; the source keeps its own value, finer than the box shows.
            if (box->textFromValue(value) != box->textFromValue(box->value())) {
                const QSignalBlocker blocker(box);
                box->setValue(value);
            }
        }
        for (QActionGroup* group : choices_) {
            const QString chosen = text(source_->choice(group->objectName().toStdString()));
            for (QAction* action : group->actions()) {
                action->setChecked(action->objectName() == chosen);
            }
        }
    }
    updateCaption();
}

void SourcePanel::setZoom(double zoom) {
    zoom_ = zoom;
    caption_->setFont(smallFont(captionPoints * zoom));
    for (QDoubleSpinBox* box : numbers_) {
        box->setFont(smallFont(spinBoxPoints * zoom));
    }
    layout_->setContentsMargins(scaled(sidePixels, zoom), 0, scaled(sidePixels, zoom),
                                scaled(bottomPixels, zoom));
    settings_->setSpacing(scaled(settingsSpacing, zoom));
}

void SourcePanel::contextMenuEvent(QContextMenuEvent* event) {
    refresh();
    menu_->exec(event->globalPos());
}

void SourcePanel::updateCaption() {
    if (!source_) {
        caption_->clear();
        caption_->setAccessibleName(QString());
        return;
    }
    QString caption = text(source_->name());
    bool remarked = false;
    for (const ChoiceSetting& setting : source_->choiceSettings()) {
        const std::string chosen = source_->choice(setting.key);
        for (const Choice& choice : setting.choices) {
            if (choice.key == chosen && !choice.remark.empty()) {
                caption += QStringLiteral(" : ") + text(choice.remark);
                remarked = true;
            }
        }
    }
    caption_->setText(caption);
    caption_->setAccessibleName(caption);
    // A staged fault is easy to forget; red makes it stand out. An empty palette inherits.
    QPalette palette;
    if (remarked) {
        const QColor red(0xC0, 0x00, 0x00);
        // On the base background a label draws with Text rather than WindowText.
        palette.setColor(QPalette::WindowText, red);
        palette.setColor(QPalette::Text, red);
    }
    caption_->setPalette(palette);
}

} // namespace thermo
