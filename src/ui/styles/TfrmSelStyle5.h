#pragma once

#include "core/styles/descriptive.h"
#include "ui/styles/style_window.h"

class QLabel;
class QLineEdit;

namespace tovalo::ui {

// A typed answer: one line, judged against the expected text under the
// question's case rule.
class TfrmSelStyle5 : public StyleWindow {
    Q_OBJECT

  public:
    TfrmSelStyle5(Session& session);

  protected:
    void rebuild(const StyleHandoff& handoff) override;
    bool judge() override;

  private:
    DescriptiveAnswer answer_;
    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* sAns;
};

}  // namespace tovalo::ui
