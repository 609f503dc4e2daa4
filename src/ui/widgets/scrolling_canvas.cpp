#include "ui/widgets/scrolling_canvas.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace tovalo::ui {

namespace {

// Smaller than any screen the program meets: the screen decides.
constexpr QSize kLeast(160, 120);

}  // namespace

ScrollingCanvas::ScrollingCanvas(QWidget* window) : QScrollArea(window) {
    setObjectName(QStringLiteral("Canvas"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setFocusPolicy(Qt::NoFocus);
    // The window's own ground shows through, as before it scrolled.
    viewport()->setBackgroundRole(QPalette::Window);
    auto* canvas = new QWidget;
    canvas->setObjectName(QStringLiteral("CanvasContent"));
    setWidget(canvas);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(this);
}

void ScrollingCanvas::keyPressEvent(QKeyEvent* event) {
    event->ignore();
}

void ScrollingCanvas::setDesignSize(QSize size) {
    QWidget* window = parentWidget();
    window->setMaximumSize(size);
    window->setMinimumSize(size.boundedTo(kLeast));
    if (widget()->size() != size) {
        widget()->setFixedSize(size);
        window->resize(size);
    }
}

}  // namespace tovalo::ui
