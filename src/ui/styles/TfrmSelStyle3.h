#pragma once

#include <array>

#include "core/styles/zones.h"
#include "ui/styles/style_window.h"

class QImage;

namespace tovalo::ui {

class ClickPicture;
class ZoneFrame;

// A graphic question: the learner puts numbered marks on the picture, one
// for each target zone, and the answer is right when every zone holds one.
class TfrmSelStyle3 : public StyleWindow {
    Q_OBJECT

  public:
    // Where the picture sits; the window is the picture and this margin
    // around it, with the button strip below.
    static constexpr QPoint kPictureAt{5, 5};

    TfrmSelStyle3(Session& session);

    // The window's size around a picture of `picture`'s size.
    [[nodiscard]] static QSize sizeFor(QSize picture);

  protected:
    void rebuild(const StyleHandoff& handoff) override;
    bool judge() override;

  private:
    ClickPicture* DestImg;
    std::array<ZoneFrame*, MarkBoard::kMaxZones> Guides{};
};

}  // namespace tovalo::ui
