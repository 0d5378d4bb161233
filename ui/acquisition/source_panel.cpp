#include "ui/acquisition/source_panel.h"

#include "acquisition/code_source.h"
#include "ui/accessibility/accessible_roles.h"
#include "ui/accessibility/first_menu_item.h"
#include "ui/accessibility/quiet_updates.h"
#include "ui/acquisition/setting_box.h"
#include "ui/layout/largest_fit.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace thermo {

namespace {

// Only the size is set, so the family still comes from the window.
QFont sizedFont(qreal points) {
    QFont font;
    font.setPointSizeF(points);
    return font;
}

// The type is the largest that fits the panel, in steps of a quarter point, the caption a
// little smaller than the numbers.
constexpr qreal largestPoints = 40.0;
constexpr qreal smallestPoints = 5.0;
constexpr qreal pointsStep = 0.25;
constexpr qreal captionRatio = 0.75;
constexpr int lineEditMargin = 2;
// Spacing at 100 %.
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
    // A group of controls: as a "frame" it would pass for a window of its own, which a screen
    // reader does not read while it is not the active one.
    setAccessibleRole(this, QAccessible::Grouping);
    setAccessibleName(tr("Source des mesures"));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Plain);
    // The control's back colour is the system's window background, i.e. the base colour.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("sourceCaption"));

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
    startOnFirstItem(*menu_);
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
    fitType();
    const bool hasNumbers = !numbers_.empty();
    caption_->setAlignment(hasNumbers ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    // Alone in the panel, a long name ("Arduino Firmata 2.5 (StandardFirmata) sur
    // /dev/ttyACM0") may take several lines.
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
    auto* box = new SettingBox(this);
    box->setObjectName(text(setting.key));
    box->setAccessibleName(text(setting.label));
    box->setToolTip(text(setting.toolTip));
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The boxes share the panel's width and the height the caption leaves.
    box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    box->setFrame(false);
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
            // Only a value changed elsewhere is written, and never over what the user is
            // typing (a value that moves by itself, as a cooling, would take the box from
            // under the keys); the source keeps its own value, finer than the box shows.
            const bool typing =
                box->hasFocus() && box->cleanText() != box->textFromValue(box->value());
            if (!typing && box->textFromValue(value) != box->textFromValue(box->value())) {
                const QSignalBlocker blocker(box);
                // Said to a screen reader when asked, not at every step of a cooling.
                const QuietUpdates quiet;
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
    layout_->setContentsMargins(scaled(sidePixels, zoom), 0, scaled(sidePixels, zoom),
                                scaled(bottomPixels, zoom));
    settings_->setSpacing(scaled(settingsSpacing, zoom));
    fitType();
}

void SourcePanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    fitType();
}

void SourcePanel::setStatus(const QString& status) {
    status_ = status;
    updateCaption();
}

QStringList SourcePanel::possibleCaptions() const {
    QStringList captions;
    if (!status_.isEmpty()) {
        captions << status_;
    }
    if (!source_) {
        return captions;
    }
    const QString name = text(source_->name());
    captions << name;
    for (const ChoiceSetting& setting : source_->choiceSettings()) {
        for (const Choice& choice : setting.choices) {
            if (!choice.remark.empty()) {
                captions << name + QStringLiteral(" : ") + text(choice.remark);
            }
        }
    }
    return captions;
}

// The panel is read from the back of a classroom: its type is the largest with which the
// caption, whatever fault it names, and the values of the boxes, from one end of their range
// to the other, show whole in the control's rectangle.
void SourcePanel::fitType() {
    const QSize room = contentsRect().marginsRemoved(layout_->contentsMargins()).size();
    if (room.isEmpty()) {
        return;
    }
    const QStringList captions = possibleCaptions();
    const int boxes = static_cast<int>(numbers_.size());
    const auto fitsAt = [&](qreal points) {
        const QFontMetrics captionMetrics(sizedFont(points * captionRatio));
        bool fits = true;
        for (const QString& caption : captions) {
            // Above the boxes the caption has one line; alone, as many as the panel holds.
            const QRect needed =
                boxes > 0 ? QRect(0, 0, captionMetrics.horizontalAdvance(caption), 0)
                          : captionMetrics.boundingRect(
                                QRect(QPoint(), room), Qt::AlignCenter | Qt::TextWordWrap, caption);
            fits = fits && needed.width() <= room.width() && needed.height() <= room.height();
        }
        const int captionHeight = captionMetrics.height();
        if (boxes > 0) {
            const QSize box((room.width() - settings_->spacing() * (boxes - 1)) / boxes,
                            room.height() - captionHeight);
            for (QDoubleSpinBox* number : numbers_) {
                fits = fits && valuesFit(*number, sizedFont(points), box);
            }
        }
        return fits;
    };
    const int steps = static_cast<int>((largestPoints - smallestPoints) / pointsStep);
    const qreal points = smallestPoints + pointsStep * largestFitting(0, steps, [&](int step) {
                                              return fitsAt(smallestPoints + pointsStep * step);
                                          });
    const QFont captionFont = sizedFont(points * captionRatio);
    caption_->setFont(captionFont);
    // The caption takes its line and no more; the boxes the rest.
    caption_->setFixedHeight(numbers_.empty() ? QWIDGETSIZE_MAX
                                              : QFontMetrics(captionFont).height());
    for (QDoubleSpinBox* box : numbers_) {
        box->setFont(sizedFont(points));
    }
}

bool SourcePanel::valuesFit(const QDoubleSpinBox& box, const QFont& font, const QSize& size) {
    if (size.width() <= 0 || size.height() <= 0) {
        return false;
    }
    QStyleOptionSpinBox option;
    option.initFrom(&box);
    option.rect = QRect(QPoint(), size);
    option.frame = box.hasFrame();
    option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField |
                         QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    const QRect field =
        box.style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, &box);
    const QFontMetrics metrics(font);
    int widest = 0;
    for (double end : {box.minimum(), box.maximum()}) {
        widest = std::max(widest, metrics.horizontalAdvance(box.textFromValue(end) + box.suffix()));
    }
    // A line edit keeps two pixels on each side of its text; its line fits the field's height.
    return widest + 2 * lineEditMargin <= field.width() && metrics.height() <= field.height();
}

void SourcePanel::contextMenuEvent(QContextMenuEvent* event) {
    refresh();
    menu_->exec(event->globalPos());
}

void SourcePanel::updateCaption() {
    QString caption = status_;
    bool remarked = false;
    if (caption.isEmpty() && source_) {
        caption = text(source_->name());
        for (const ChoiceSetting& setting : source_->choiceSettings()) {
            const std::string chosen = source_->choice(setting.key);
            for (const Choice& choice : setting.choices) {
                if (choice.key == chosen && !choice.remark.empty()) {
                    caption += QStringLiteral(" : ") + text(choice.remark);
                    remarked = true;
                }
            }
        }
    }
    if (caption != caption_->text()) {
        // A board's name grows once it said who it is.
        caption_->setText(caption);
        caption_->setAccessibleName(caption);
        fitType();
    }
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
