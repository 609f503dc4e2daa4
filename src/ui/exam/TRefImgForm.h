#pragma once

#include <QString>

#include "ui/widgets/screen_form.h"

class QLabel;

namespace tovalo::ui {

class ImageButton;
class ScrollingCanvas;

// Shows one reference figure of a question or a case study. Callers set
// the caption and FigurePath just before showing it; the picture is read
// again each time the window is activated.
class TRefImgForm : public ScreenForm {
    Q_OBJECT

  public:
    static constexpr int kButtonStrip = 65;

    TRefImgForm(Session& session);

    // Sets the caption and the figure, then shows the window without
    // taking the rest of the program away from the user.
    void showFigure(const QString& caption, const QString& path);
    // Loads FigurePath when it names a picture that can be read; otherwise
    // the picture shown before stays, and the window keeps its size.
    void reloadFigure();

    QString FigurePath;

  public slots:
    void Button1Click();

  protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ensureControls();
    void placeButton();

    bool placed_ = false;

  private:
    // The controls; tests reach them by object name.
    // Made the first time a figure is shown.
    ScrollingCanvas* Canvas = nullptr;
    QLabel* Image1 = nullptr;
    ImageButton* Button1 = nullptr;
};

}  // namespace tovalo::ui
