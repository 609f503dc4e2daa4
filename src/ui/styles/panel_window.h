#pragma once

#include <string>

#include "ui/styles/style_window.h"

class QLabel;

namespace tovalo::ui {

class PanelSurface;

// The two panel styles and their View twins: pieces cut out of the
// question's picture are dragged onto destination slots. Style 6 differs
// only in answering with the items' ids (`withIds`); a View shows the
// pieces where the expected answer puts them and lets nothing move.
class PanelWindow : public StyleWindow {
    Q_OBJECT

  protected:
    PanelWindow(Session& session, const QString& objectName, Kind kind, bool withIds);

    void rebuild(const StyleHandoff& handoff) override;
    bool judge() override;
    void hideEvent(QHideEvent* event) override;

  private:
    bool view_;
    bool withIds_;
    std::string expected_;
    PanelSurface* Image1;
    QLabel* Label1;
    QLabel* Label2;
};

}  // namespace tovalo::ui
