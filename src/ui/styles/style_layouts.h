#pragma once

// Layouts an answering window shares with its View twin, so that the View
// shows the answer exactly where the learner gave it.

#include <QPoint>
#include <QSize>

class QLabel;
class QLineEdit;
class QString;
class QWidget;

namespace tovalo::ui {

class StyleWindow;

// The graphic question: the picture sits at kGraphicPictureAt, and the
// window is the picture with that margin around it and the button strip
// below.
inline constexpr QPoint kGraphicPictureAt{5, 5};
[[nodiscard]] QSize graphicWindowSize(QSize picture);

// The typed answer: a window of kTypedClient with the caption over a
// one-line field, named Label1 and Edit1.
inline constexpr QSize kTypedClient{350, 86};
void addCaptionedField(QWidget* parent, const QString& caption, QLabel*& label, QLineEdit*& field);

}  // namespace tovalo::ui
