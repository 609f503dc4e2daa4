#pragma once

#include "ui/styles/style_window.h"

class QLabel;

namespace tovalo::ui {

// The correct answer of a connect question: the question's prepared
// picture of the finished diagram.
class TfrmSelStyle7View : public StyleWindow {
    Q_OBJECT

  public:
    // The strip under the picture that holds the button.
    static constexpr int kStrip = 60;

    TfrmSelStyle7View(Session& session);

  protected:
    void rebuild(const StyleHandoff& handoff) override;

  private:
    QLabel* Image1;
};

}  // namespace tovalo::ui
