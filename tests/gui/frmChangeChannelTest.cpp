#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "SimReceiver.h"
#include "gui/frmChangeChannel.h"

namespace orvanrx::test {

enum class Link { Open, Closed, Unplugged };

// A receiver tuned to `hertz`: open, closed, or unplugged after opening (every exchange
// then gives a short reply).
struct TunedReceiver : SimReceiver {
    TunedReceiver(std::int32_t hertz, Link link)
        : SimReceiver({trace::Frequency{hertz}}, link != Link::Closed) {
        if (link == Link::Unplugged) {
            sim.Detach();
        }
    }
};

}  // namespace orvanrx::test

Q_DECLARE_METATYPE(orvanrx::test::Link)

namespace orvanrx {

using test::Link;
using test::SimReceiver;
using test::TunedReceiver;

class frmChangeChannelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsItsTexts() {
        SimReceiver r({});
        frmChangeChannel dialog(r.receiver);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("OrvanRX - Change Orvan USB Channel"));
        const auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("cboChannel"));
        QVERIFY(combo != nullptr);
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QStringLiteral("Channel 1"));
        QCOMPARE(combo->itemText(1), QStringLiteral("Channel 2"));
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            labels << label->text();
        }
        QVERIFY(labels.contains(QStringLiteral("Please select a frequency channel...")));
        QVERIFY(labels.contains(QStringLiteral(
            "Click OK to set the desired channel or cancel to exit without changes.")));
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(),
                 QStringLiteral("&OK"));
        QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->text(),
                 QStringLiteral("Cancel"));
    }

    void preselectsTheTunedChannel_data() {
        QTest::addColumn<int>("hertz");
        QTest::addColumn<Link>("link");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("frames");
        const QStringList read{QStringLiteral("1B 06")};
        QTest::newRow("217300000") << 217300000 << Link::Open << 1 << read;
        QTest::newRow("217600000") << 217600000 << Link::Open << 0 << read;
        QTest::newRow("other frequency") << 217450000 << Link::Open << 0 << read;
        QTest::newRow("closed: 0") << 217300000 << Link::Closed << 0 << QStringList{};
        // Unplugged, the frame never reaches the receiver.
        QTest::newRow("short reply: -1") << 217300000 << Link::Unplugged << 0 << QStringList{};
    }
    void preselectsTheTunedChannel() {
        QFETCH(int, hertz);
        QFETCH(Link, link);
        QFETCH(int, index);
        QFETCH(QStringList, frames);
        TunedReceiver r(hertz, link);
        frmChangeChannel dialog(r.receiver);
        QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("cboChannel"))->currentIndex(), index);
        QCOMPARE(r.Frames(), frames);
        const std::int32_t read = r.receiver.ReadFrequency();  // the case is what it says
        QCOMPARE(read, link == Link::Open ? hertz : link == Link::Closed ? 0 : -1);
    }

    void okTunesTheChosenChannelAndCloses_data() {
        QTest::addColumn<int>("tuned");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("frequencyAfter");
        QTest::newRow("Channel 2")
            << 217600000 << 1 << QStringLiteral("1B 07 0C F3 BC 20") << 217300000;
        QTest::newRow("Channel 1")
            << 217300000 << 0 << QStringLiteral("1B 07 0C F8 50 00") << 217600000;
        QTest::newRow("as preselected")
            << 0 << -2 << QStringLiteral("1B 07 0C F8 50 00") << 217600000;
    }
    void okTunesTheChosenChannelAndCloses() {
        QFETCH(int, tuned);
        QFETCH(int, chosen);
        QFETCH(QString, frame);
        QFETCH(int, frequencyAfter);
        TunedReceiver r(tuned, Link::Open);
        frmChangeChannel dialog(r.receiver);
        if (chosen >= 0) {
            dialog.findChild<QComboBox*>(QStringLiteral("cboChannel"))->setCurrentIndex(chosen);
        }
        dialog.show();
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(r.Frames(), (QStringList{QStringLiteral("1B 06"), frame}));
        QCOMPARE(r.sim.Frequency(), frequencyAfter);
        QVERIFY(!ok->isEnabled());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
    }

    void okWithNoReceiverSendsNothing() {
        TunedReceiver r(217300000, Link::Closed);
        frmChangeChannel dialog(r.receiver);
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(r.Frames().isEmpty());
        QVERIFY(!dialog.isVisible());
    }

    void cancelAndTheCloseBoxSendNothing_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelAndTheCloseBoxSendNothing() {
        QFETCH(bool, closeBox);
        TunedReceiver r(217600000, Link::Open);
        frmChangeChannel dialog(r.receiver);
        dialog.findChild<QComboBox*>(QStringLiteral("cboChannel"))->setCurrentIndex(1);
        dialog.show();
        if (closeBox) {
            dialog.close();
        } else {
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cmdCancel")),
                              Qt::LeftButton);
        }
        QVERIFY(!dialog.isVisible());
        QCOMPARE(r.Frames(), QStringList{QStringLiteral("1B 06")});
        QCOMPARE(r.sim.Frequency(), 217600000);
    }
};

}  // namespace orvanrx

QTEST_MAIN(orvanrx::frmChangeChannelTest)
#include "frmChangeChannelTest.moc"
