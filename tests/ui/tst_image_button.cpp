#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

#include "ui/widgets/image_button.h"

using tovalo::ui::ImageButton;

class TestImageButton : public QObject {
    Q_OBJECT

  private:
    static QPixmap solid(QColor colour) {
        QPixmap p(40, 20);
        p.fill(colour);
        return p;
    }

  private slots:
    void pressShiftsTwoPixelsAndReleaseClicks() {
        QWidget window;
        window.resize(200, 100);
        auto* button = new ImageButton(&window);
        button->setPictures(solid(Qt::blue), solid(Qt::gray));
        button->move(50, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(button->size(), QSize(40, 20));
        QSignalSpy clicks(button, &ImageButton::clicked);

        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(1, 1));
        QCOMPARE(button->pos(), QPoint(52, 32));
        QCOMPARE(clicks.count(), 0);
        // The press point now lies in the strip the button uncovered; letting
        // go there still counts as a click.
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-1, -1));
        QCOMPARE(button->pos(), QPoint(50, 30));
        QCOMPARE(clicks.count(), 1);

        QTest::mouseClick(button, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(button->pos(), QPoint(50, 30));
    }

    void disabledButtonShowsItsOwnPictureAndStaysPut() {
        QWidget window;
        auto* button = new ImageButton(&window);
        QPixmap normal = solid(Qt::blue);
        QPixmap disabled = solid(Qt::gray);
        button->setPictures(normal, disabled);
        button->move(10, 10);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(button->shownPicture().cacheKey(), normal.cacheKey());

        button->setEnabled(false);
        QCOMPARE(button->shownPicture().cacheKey(), disabled.cacheKey());
        QSignalSpy clicks(button, &ImageButton::clicked);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(button->pos(), QPoint(10, 10));
        QCOMPARE(clicks.count(), 0);

        // Without a disabled picture the normal one is greyed, not reused.
        ImageButton plain;
        plain.setPictures(normal);
        plain.setEnabled(false);
        QVERIFY(!plain.shownPicture().isNull());
        QVERIFY(plain.shownPicture().toImage() != normal.toImage());
    }

    void buttonDisabledWhilePressedGoesBack() {
        QWidget window;
        auto* button = new ImageButton(&window);
        button->setPictures(solid(Qt::blue));
        button->move(10, 10);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(button->pos(), QPoint(12, 12));
        button->setEnabled(false);
        QCOMPARE(button->pos(), QPoint(10, 10));
    }
};

QTEST_MAIN(TestImageButton)
#include "tst_image_button.moc"
