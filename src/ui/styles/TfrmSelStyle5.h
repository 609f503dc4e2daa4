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
    static constexpr QSize kClient{350, 86};

    // The caption over the one-line field and the field itself, named
    // Label1 and Edit1, as the answer window and its View both lay them out.
    static void addCaptionedField(StyleWindow* window, const QString& caption, QLabel*& label,
                                  QLineEdit*& field);

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
