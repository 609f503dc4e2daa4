#pragma once

#include <array>

#include "core/styles/zones.h"
#include "ui/styles/style_window.h"

class QLabel;

namespace tovalo::ui {

class ZoneFrame;

// The correct answer of a graphic or click-picture question: its zones
// framed in red on the picture.
class TfrmSelStyle3View : public StyleWindow {
    Q_OBJECT

  public:
    TfrmSelStyle3View(Session& session);

  protected:
    void rebuild(const StyleHandoff& handoff) override;

  private:
    QLabel* DestImg;
    std::array<ZoneFrame*, MarkBoard::kMaxZones> Guides{};
};

}  // namespace tovalo::ui
