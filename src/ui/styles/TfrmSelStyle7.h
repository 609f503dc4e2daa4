#pragma once

#include <array>

#include "ui/styles/style_window.h"

class QLabel;

namespace tovalo::ui {

class ConnectSurface;

// Connect question: the learner draws the connections of a diagram by
// selecting two panels and clicking a connector, moves panels and deletes
// connections; the drawn set is judged against the expected one.
class TfrmSelStyle7 : public StyleWindow {
    Q_OBJECT

  public:
    // The strip under the picture: the instructions beside the button.
    static constexpr int kInstructionStrip = 115;

    TfrmSelStyle7(Session& session);

  protected:
    void rebuild(const StyleHandoff& handoff) override;
    bool judge() override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    ConnectSurface* Image1;
    std::array<QLabel*, 5> labels_;
};

}  // namespace tovalo::ui
