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
    TfrmSelStyle3(Session& session);

  protected:
    void rebuild(const StyleHandoff& handoff) override;
    bool judge() override;

  private:
    ClickPicture* DestImg;
    std::array<ZoneFrame*, MarkBoard::kMaxZones> Guides{};
};

}  // namespace tovalo::ui
