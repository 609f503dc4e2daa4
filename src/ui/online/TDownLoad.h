#pragma once

#include <QString>

#include "ui/widgets/screen_form.h"

class QLabel;

namespace tovalo::ui {

class ImageButton;
class TransferAnimation;

// The small window shown while the question update fetches files: what is
// being fetched, how much of it has arrived, and a moving picture so that
// a slow server never looks like a hung program. Stopping asks the update
// to end after the current read.
class TDownLoad : public ScreenForm {
    Q_OBJECT

  public:
    TDownLoad(Session& session);

    // A fetch begins: empty labels, the picture moving.
    void begin();
    // The fetching is over: the picture stops and the window goes.
    void finish();

  public slots:
    void setFileLabel(const QString& text);
    void setStatus(const QString& text);

  signals:
    void stopRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void StopButtonClick();

    // The controls; tests reach them by object name.
    TransferAnimation* Animate1;
    QLabel* MessageLabel;
    QLabel* FileLabel;
    QLabel* StatusLabel;
    ImageButton* StopButton;

    bool fetching_ = false;
};

}  // namespace tovalo::ui
