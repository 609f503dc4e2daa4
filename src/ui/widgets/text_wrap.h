#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace tovalo::ui {

// The lines `text` (one paragraph) takes in a box `width` pixels wide, wrapped
// the way the program's boxes wrap: at word boundaries, and anywhere in a
// word that is too long, which is every Japanese sentence. An empty text is
// one empty line.
QStringList wrappedLines(const QString& text, const QFont& font, int width);

// At most `maxLines` of them; when the text needs more, the last line shown
// ends with "…" instead of being cut in the middle of a character.
QStringList wrappedLines(const QString& text, const QFont& font, int width, int maxLines);

}  // namespace tovalo::ui
