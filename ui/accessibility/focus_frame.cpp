#include "ui/accessibility/focus_frame.h"

#include <QApplication>
#include <QEvent>
#include <QFontInfo>
#include <QPainter>
#include <algorithm>

namespace thermo {

namespace {

constexpr const char* frameName = "focusFrame";

FocusFrame* shownFrame = nullptr;

} // namespace

// Cobalt: 4.9:1 on the voltages' light blue, 6.7:1 on the windows' ground.
const QColor FocusFrame::colour(0x00, 0x47, 0xAB);

FocusFrame::FocusFrame(QWidget& window) : QWidget(&window) {
    setObjectName(QString::fromLatin1(frameName));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusFrame::follow() {
    static const bool following = [] {
        QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget*, QWidget* now) {
            if (now != nullptr && now->window()->windowType() == Qt::Popup) {
                return; // a menu shows its own current item
            }
            if (shownFrame != nullptr &&
                (now == nullptr || shownFrame->window() != now->window())) {
                shownFrame->frame(nullptr);
                shownFrame = nullptr;
            }
            if (now == nullptr || now->isWindow()) {
                return;
            }
            QWidget* window = now->window();
            auto* frame = window->findChild<FocusFrame*>(QString::fromLatin1(frameName),
                                                         Qt::FindDirectChildrenOnly);
            if (frame == nullptr) {
                frame = new FocusFrame(*window);
            }
            frame->frame(now);
            shownFrame = frame;
        });
        return true;
    }();
    Q_UNUSED(following);
}

int FocusFrame::width(const QWidget& window) {
    return std::max(2, qRound(QFontInfo(window.font()).pixelSize() / 6.0));
}

void FocusFrame::frame(QWidget* control) {
    if (framed_ != nullptr) {
        framed_->removeEventFilter(this);
    }
    framed_ = control;
    if (control == nullptr) {
        hide();
        return;
    }
    control->installEventFilter(this);
    place();
}

void FocusFrame::place() {
    if (framed_ == nullptr || !framed_->isVisible()) {
        hide();
        return;
    }
    const int margin = (width(*window()) + 1) / 2;
    setGeometry(QRect(framed_->mapTo(window(), QPoint(0, 0)), framed_->size())
                    .adjusted(-margin, -margin, margin, margin));
    raise();
    show();
}

bool FocusFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == framed_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusFrame::paintEvent(QPaintEvent*) {
    const int pen = width(*window());
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const QRect outer = rect();
    const QRect inner = outer.adjusted(pen, pen, -pen, -pen);
    painter.drawRect(outer.x(), outer.y(), outer.width(), pen);
    painter.drawRect(outer.x(), inner.bottom() + 1, outer.width(), pen);
    painter.drawRect(outer.x(), inner.y(), pen, inner.height());
    painter.drawRect(inner.right() + 1, inner.y(), pen, inner.height());
}

} // namespace thermo
